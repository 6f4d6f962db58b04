#pragma once
// Conversions between the programs' types and Qt's, for the platform layer's own
// sources only (this header includes Qt; nothing outside platform/ includes it).
#include <QFont>
#include <QKeyEvent>
#include <QString>
#include <Qt>

#include <optional>
#include <string>

#include "platform/Graphics.h"
#include "platform/Keys.h"
#include "platform/Types.h"

// Text of the programs to Qt: valid UTF-8 is read as such (Pelvo's texts); any other
// byte string is read as Windows-1252 (Tesk's byte strings).
QString ToQString(const std::string& text);
// Qt text to the programs: UTF-8.
std::string FromQString(const QString& text);

// The Qt font that draws a font of the programs: one face everywhere, sized in pixels,
// without smoothing unless the program asked for smooth text (SetSmoothText), so that
// text looks the same on every machine.
QFont ToQFont(const TFont& font);

TShiftState ShiftStateFromQt(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);
Qt::KeyboardModifiers QtModifiersFromShiftState(TShiftState shift);

// The key code of a key event (keypad keys distinct, unknown keys a stable code).
WORD KeyCodeFromEvent(const QKeyEvent& event);
// The character a key event types, or 0.
char KeyCharFromEvent(const QKeyEvent& event);

// The Qt key that gives the key code (for injected events); keypad tells whether
// Qt::KeypadModifier belongs to it. Codes without a Qt key give Qt::Key_unknown.
int QtKeyFromKeyCode(WORD keyCode, bool& keypad);
// The text a Qt key types with the given shift state (for injected events).
QString QtTextForKeyCode(WORD keyCode, TShiftState shift);

// The key-state table behind GetAsyncKeyState, fed by every key and mouse event
// the application sees.
void NoteKeyState(int keyCode, bool down);
void ClearKeyStates();

// Tells every form of a change of the main window's screen (size or depth) from now on.
class QObject;
void WatchDisplayChanges(QObject* context);

// The cursor position override set by the test hooks, if any.
std::optional<TPoint>& CursorPosOverride();
