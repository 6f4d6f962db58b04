#include "platform/Clipbrd.h"

#include <QClipboard>
#include <QGuiApplication>

#include "platform/QtBridge.h"

namespace {

QClipboard* Board() { return QGuiApplication::instance() ? QGuiApplication::clipboard() : nullptr; }

} // namespace

std::string TClipboard::AsText() const
{
    QClipboard* board = Board();
    return board ? FromQString(board->text()) : std::string();
}

void TClipboard::SetAsText(const std::string& text)
{
    if (QClipboard* board = Board())
        board->setText(ToQString(text));
}

bool TClipboard::HasFormat(UINT format) const
{
    QClipboard* board = Board();
    return format == CF_TEXT && board && !board->text().isEmpty();
}

void TClipboard::Clear()
{
    if (QClipboard* board = Board())
        board->clear();
}

TClipboard* Clipboard()
{
    static TClipboard clipboard;
    return &clipboard;
}
