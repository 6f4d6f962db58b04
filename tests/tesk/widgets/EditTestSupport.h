#pragma once
// Typing into the focused control of a form through the key hooks, as a user would.
#include <string>

#include "platform/Forms.h"
#include "platform/Keys.h"
#include "platform/TestHooks.h"

// Digits, letters (upper case with Shift), '.', ',', '-', '_', '+', '*', '/', '=', '%'
// and spaces.
inline void TypeText(TForm* form, const std::string& text)
{
    for (char c : text) {
        if (c >= '0' && c <= '9')
            TestHooks::KeyStroke(form, static_cast<WORD>(c));
        else if (c >= 'a' && c <= 'z')
            TestHooks::KeyStroke(form, static_cast<WORD>(c - 'a' + 'A'));
        else if (c >= 'A' && c <= 'Z')
            TestHooks::KeyStroke(form, static_cast<WORD>(c), {ssShift});
        else if (c == '.')
            TestHooks::KeyStroke(form, VK_OEM_PERIOD);
        else if (c == ',')
            TestHooks::KeyStroke(form, VK_OEM_COMMA);
        else if (c == '-')
            TestHooks::KeyStroke(form, VK_OEM_MINUS);
        else if (c == '_')
            TestHooks::KeyStroke(form, VK_OEM_MINUS, {ssShift});
        else if (c == '+')
            TestHooks::KeyStroke(form, VK_OEM_PLUS, {ssShift});
        else if (c == '=')
            TestHooks::KeyStroke(form, VK_OEM_PLUS);
        else if (c == '*')
            TestHooks::KeyStroke(form, '8', {ssShift});
        else if (c == '%')
            TestHooks::KeyStroke(form, '5', {ssShift});
        else if (c == '/')
            TestHooks::KeyStroke(form, VK_OEM_2);
        else if (c == ' ')
            TestHooks::KeyStroke(form, VK_SPACE);
    }
}
