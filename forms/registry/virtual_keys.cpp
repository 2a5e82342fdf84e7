#include "forms/registry/virtual_keys.h"

namespace qr::forms {
namespace {

struct KeyMapping {
    int qtKey;
    int virtualKey;
};

// Keys that are not letters, digits or function keys. Shifted symbols give the
// code of the key that produces them on a US layout, as Windows reports them.
constexpr KeyMapping kKeys[] = {
    {Qt::Key_Backspace, 0x08},  {Qt::Key_Tab, 0x09},        {Qt::Key_Backtab, 0x09},      {Qt::Key_Clear, 0x0C},
    {Qt::Key_Return, 0x0D},     {Qt::Key_Enter, 0x0D},      {Qt::Key_Shift, 0x10},        {Qt::Key_Control, 0x11},
    {Qt::Key_Alt, 0x12},        {Qt::Key_Pause, 0x13},      {Qt::Key_CapsLock, 0x14},     {Qt::Key_Escape, 0x1B},
    {Qt::Key_Space, 0x20},      {Qt::Key_PageUp, 0x21},     {Qt::Key_PageDown, 0x22},     {Qt::Key_End, 0x23},
    {Qt::Key_Home, 0x24},       {Qt::Key_Left, 0x25},       {Qt::Key_Up, 0x26},           {Qt::Key_Right, 0x27},
    {Qt::Key_Down, 0x28},       {Qt::Key_Select, 0x29},     {Qt::Key_Print, 0x2C},        {Qt::Key_Insert, 0x2D},
    {Qt::Key_Delete, 0x2E},     {Qt::Key_Help, 0x2F},       {Qt::Key_Meta, 0x5B},         {Qt::Key_Super_L, 0x5B},
    {Qt::Key_Super_R, 0x5C},    {Qt::Key_Menu, 0x5D},       {Qt::Key_NumLock, 0x90},      {Qt::Key_ScrollLock, 0x91},
    {Qt::Key_Semicolon, 0xBA},  {Qt::Key_Colon, 0xBA},      {Qt::Key_Equal, 0xBB},        {Qt::Key_Plus, 0xBB},
    {Qt::Key_Comma, 0xBC},      {Qt::Key_Less, 0xBC},       {Qt::Key_Minus, 0xBD},        {Qt::Key_Underscore, 0xBD},
    {Qt::Key_Period, 0xBE},     {Qt::Key_Greater, 0xBE},    {Qt::Key_Slash, 0xBF},        {Qt::Key_Question, 0xBF},
    {Qt::Key_QuoteLeft, 0xC0},  {Qt::Key_AsciiTilde, 0xC0}, {Qt::Key_BracketLeft, 0xDB},  {Qt::Key_BraceLeft, 0xDB},
    {Qt::Key_Backslash, 0xDC},  {Qt::Key_Bar, 0xDC},        {Qt::Key_BracketRight, 0xDD}, {Qt::Key_BraceRight, 0xDD},
    {Qt::Key_Apostrophe, 0xDE}, {Qt::Key_QuoteDbl, 0xDE},   {Qt::Key_Exclam, '1'},        {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'},  {Qt::Key_Dollar, '4'},      {Qt::Key_Percent, '5'},       {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},   {Qt::Key_Asterisk, '8'},    {Qt::Key_ParenLeft, '9'},     {Qt::Key_ParenRight, '0'},
};

// The keypad keys that keep codes of their own.
int keypadKey(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Asterisk: return 0x6A; // multiply
    case Qt::Key_Plus: return 0x6B;     // add
    case Qt::Key_Minus: return 0xBD;    // folded onto the main minus
    case Qt::Key_Period: return 0xBE;   // folded onto the main point
    case Qt::Key_Comma: return 0xBE;    // a decimal comma on some layouts
    case Qt::Key_Slash: return 0xBF;    // folded onto the main slash
    case Qt::Key_Enter:
    case Qt::Key_Return: return 0x0D;
    default: break;
    }
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return qtKey; // folded onto the digit row
    return -1;
}

} // namespace

int virtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::KeypadModifier) {
        const int folded = keypadKey(qtKey);
        if (folded >= 0)
            return folded;
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return qtKey; // 0x41..0x5A, as Qt numbers them
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return qtKey; // 0x30..0x39
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 0x70 + (qtKey - Qt::Key_F1);
    for (const KeyMapping& mapping : kKeys)
        if (mapping.qtKey == qtKey)
            return mapping.virtualKey;
    return 0;
}

int keyStateOf(Qt::KeyboardModifiers modifiers, int qtKey)
{
    int state = 0;
    if ((modifiers & Qt::ControlModifier) && qtKey != Qt::Key_Control)
        state |= key_state::kCtrl;
    if ((modifiers & Qt::ShiftModifier) && qtKey != Qt::Key_Shift)
        state |= key_state::kShift;
    if ((modifiers & Qt::AltModifier) && qtKey != Qt::Key_Alt)
        state |= key_state::kAlt;
    return state;
}

} // namespace qr::forms
