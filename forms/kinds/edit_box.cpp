#include "forms/kinds/edit_box.h"

#include "forms/kinds/edit_box_properties.h"
#include "forms/kinds/kind_support.h"
#include "forms/kinds/standard_kinds.h"
#include "forms/registry/fonts.h"
#include "forms/registry/qt_text.h"
#include "runtime/gbk.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

#include <array>

namespace qr::forms::kinds {
namespace {

using enum edit_box_property::Index;

constexpr int kSystemEdgeHeight = 2; // the platform's edge height, twice around the text

QString toMultiLine(const QString& text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return t;
}

QString fromMultiLine(const QString& text)
{
    QString t = text;
    t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return t;
}

} // namespace

EditBoxObject::EditBoxObject(const CreateRequest& request, const EditBoxSettings& settings)
    : ComponentObject(request.windowId, request.componentId)
    , settings_(settings)
{
    settings_.borderStyle = clampEdgeStyle(settings_.borderStyle);
    QWidget* widget = nullptr;
    if (settings_.multiLine) {
        multi_ = new QPlainTextEdit(request.parent);
        multi_->setPlainText(toMultiLine(toQString(settings_.content)));
        multiAccepted_ = multi_->toPlainText();
        const int bars = settings_.scrollBars;
        multi_->setLineWrapMode(bars == 1 || bars == 3 ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
        multi_->setHorizontalScrollBarPolicy(bars == 1 || bars == 3 ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        multi_->setVerticalScrollBarPolicy(bars == 2 || bars == 3 ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        QObject::connect(multi_, &QPlainTextEdit::textChanged, this, [this] {
            if (applyingMultiFilter_)
                return;
            const QString now = multi_->toPlainText();
            int cursor = 0;
            QString kept =
                filterEdit(multiAccepted_, now, settings_.maxLength, CaseConversion(settings_.caseConversion), &cursor);
            if (kept != now) {
                applyingMultiFilter_ = true;
                multi_->setPlainText(kept);
                QTextCursor c = multi_->textCursor();
                c.setPosition(std::min(cursor, int(kept.size())));
                multi_->setTextCursor(c);
                applyingMultiFilter_ = false;
            }
            multiAccepted_ = kept;
        });
        widget = multi_;
    } else {
        line_ = new QLineEdit(request.parent);
        validator_ = new GbkInputValidator(line_);
        validator_->setCaseConversion(CaseConversion(settings_.caseConversion));
        line_->setValidator(validator_);
        QObject::connect(line_, &QLineEdit::textChanged, this,
                         [this](const QString& text) { validator_->setAccepted(text); });
        setContent(settings_.content);
        widget = line_;
    }
    setWidget(widget);
    prepareWidget(*widget, request);
    applyLook();
    applyMaxLength();
    applyInputMode();
    applyAlignment();
    // A single-line box is at least as tall as its text plus the edges.
    if (line_) {
        const int minimum = QFontMetrics(line_->font()).height() + 2 * kSystemEdgeHeight;
        if (line_->height() < minimum)
            line_->resize(line_->width(), minimum);
    }
    selectBytes(settings_.selectionStart, settings_.selectionLength);
}

QString EditBoxObject::text() const
{
    if (line_)
        return line_->text();
    if (multi_)
        return fromMultiLine(multi_->toPlainText());
    return toQString(settings_.content);
}

std::string EditBoxObject::content() const { return fromQString(text()); }

void EditBoxObject::setContent(const std::string& gbk)
{
    settings_.content = gbk;
    const QString converted = convertCase(toQString(gbk), CaseConversion(settings_.caseConversion));
    if (line_) {
        validator_->setBypass(true);
        line_->setText(converted);
        validator_->setBypass(false);
        validator_->setAccepted(line_->text());
        // The platform notifies a content change as if typed; QLineEdit's
        // textChanged has already gone out with setText.
    } else if (multi_) {
        applyingMultiFilter_ = true;
        multi_->setPlainText(toMultiLine(converted));
        applyingMultiFilter_ = false;
        multiAccepted_ = multi_->toPlainText();
    }
}

void EditBoxObject::applyLook()
{
    QWidget* w = line_ ? static_cast<QWidget*>(line_) : static_cast<QWidget*>(multi_);
    if (!w)
        return;
    w->setFont(qtFont(settings_.font));
    // The edit keeps a pixel of its own beside the text, inside the edge, as the
    // platform's edit box does; more would cut the templates' 74-pixel boxes.
    QString sheet = edgeStyleSheet(settings_.borderStyle) + QStringLiteral("padding: 0px;");
    if (auto c = qtColour(settings_.textColour))
        sheet += QStringLiteral("color: %1;").arg(c->name());
    if (auto c = qtColour(settings_.backgroundColour))
        sheet += QStringLiteral("background-color: %1;").arg(c->name());
    if (line_) {
        const std::uint16_t mask = std::uint16_t(settings_.passwordChar);
        QChar pc = mask == 0 ? QLatin1Char('*') : toQString(std::string(1, char(mask & 0xFF))).at(0);
        if (mask > 0xFF) { // a double-byte character stored low byte first
            std::string two{char(mask & 0xFF), char(mask >> 8)};
            QString q = toQString(two);
            if (!q.isEmpty())
                pc = q.at(0);
        }
        sheet += QStringLiteral("lineedit-password-character: %1;").arg(int(pc.unicode()));
        line_->setStyleSheet(QStringLiteral("QLineEdit { %1 }").arg(sheet));
    } else {
        multi_->setStyleSheet(QStringLiteral("QPlainTextEdit { %1 }").arg(sheet));
    }
}

void EditBoxObject::applyMaxLength()
{
    if (validator_)
        validator_->setMaxBytes(std::max(0, settings_.maxLength));
}

void EditBoxObject::applyInputMode()
{
    const int mode = settings_.inputMode;
    if (line_) {
        line_->setReadOnly(mode == 1);
        line_->setEchoMode(mode == 2 ? QLineEdit::Password : QLineEdit::Normal);
    } else if (multi_) {
        multi_->setReadOnly(mode == 1);
    }
}

void EditBoxObject::applyAlignment()
{
    const Qt::Alignment horizontal = settings_.alignment == 1   ? Qt::AlignHCenter
                                     : settings_.alignment == 2 ? Qt::AlignRight
                                                                : Qt::AlignLeft;
    if (line_) {
        line_->setAlignment(horizontal | Qt::AlignVCenter);
    } else if (multi_) {
        QTextOption option = multi_->document()->defaultTextOption();
        option.setAlignment(horizontal);
        multi_->document()->setDefaultTextOption(option);
    }
}

void EditBoxObject::selectBytes(int start, int length)
{
    const QString t = line_ ? line_->text() : multi_ ? multi_->toPlainText() : QString();
    const int from = charIndexOfByteOffset(t, std::max(0, start));
    const int to = length < 0 ? int(t.size()) : charIndexOfByteOffset(t, std::max(0, start) + length);
    if (line_) {
        line_->setSelection(from, to - from);
    } else if (multi_) {
        QTextCursor c = multi_->textCursor();
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        multi_->setTextCursor(c);
    }
}

std::string EditBoxObject::selectedText() const
{
    if (line_)
        return fromQString(line_->selectedText());
    if (multi_)
        return fromQString(
            fromMultiLine(multi_->textCursor().selectedText().replace(QChar(0x2029), QLatin1Char('\n'))));
    return {};
}

void EditBoxObject::replaceSelection(const std::string& gbk)
{
    const QString insert = convertCase(toQString(gbk), CaseConversion(settings_.caseConversion));
    if (line_) {
        validator_->setBypass(true);
        line_->insert(insert);
        validator_->setBypass(false);
        validator_->setAccepted(line_->text());
    } else if (multi_) {
        applyingMultiFilter_ = true;
        multi_->textCursor().insertText(toMultiLine(insert));
        applyingMultiFilter_ = false;
        multiAccepted_ = multi_->toPlainText();
    }
}

EditBoxSettings EditBoxObject::currentSettings() const
{
    EditBoxSettings s = settings_;
    s.content = content();
    if (line_) {
        const QString t = line_->text();
        const int start = line_->hasSelectedText() ? line_->selectionStart() : line_->cursorPosition();
        s.selectionStart = byteOffsetOfCharIndex(t, start);
        s.selectionLength = gbkBytes(line_->selectedText());
    }
    return s;
}

int EditBoxObject::setProperty(int index, const runtime::Value& v)
{
    switch (index) {
    case kContent: setContent(textOf(v)); return 0;
    case kBorder:
        settings_.borderStyle = clampEdgeStyle(intOf(v));
        applyLook();
        return 0;
    case kTextColour:
        settings_.textColour = Colour(intOf(v));
        applyLook();
        return 0;
    case kBackgroundColour:
        settings_.backgroundColour = Colour(intOf(v));
        applyLook();
        return 0;
    case kFont:
        settings_.font = fontOf(v);
        applyLook();
        return 0;
    case kHideSelection: settings_.hideSelection = logicalOf(v); return 0;
    case kMaxLength:
        settings_.maxLength = std::max(0, intOf(v));
        applyMaxLength();
        return 0;
    case kMultiLine:
        settings_ = currentSettings();
        settings_.multiLine = logicalOf(v);
        return 1;
    case kScrollBars:
        settings_ = currentSettings();
        settings_.scrollBars = intOf(v);
        return multi_ ? 1 : 0;
    case kAlignment:
        settings_.alignment = intOf(v);
        applyAlignment();
        return 0;
    case kInputMode:
        settings_.inputMode = intOf(v);
        applyInputMode();
        return 0;
    case kPasswordChar: {
        std::string t = textOf(v);
        settings_.passwordChar = t.empty() ? std::int16_t(0)
                                 : t.size() >= 2 && runtime::isGbkLeadByte(std::uint8_t(t[0]))
                                     ? std::int16_t(std::uint8_t(t[0]) | (std::uint8_t(t[1]) << 8))
                                     : std::int16_t(std::uint8_t(t[0]));
        applyLook();
        return 0;
    }
    case kCase:
        settings_.caseConversion = intOf(v);
        if (validator_)
            validator_->setCaseConversion(CaseConversion(settings_.caseConversion));
        setContent(content());
        return 0;
    case kSpinMode: settings_.spinMode = intOf(v); return 0;
    case kSpinMinimum: settings_.spinMinimum = intOf(v); return 0;
    case kSpinMaximum: settings_.spinMaximum = intOf(v); return 0;
    case kSelectionStart:
        settings_.selectionStart = intOf(v);
        selectBytes(settings_.selectionStart, currentSettings().selectionLength);
        return 0;
    case kSelectionLength: {
        const int start = currentSettings().selectionStart;
        settings_.selectionLength = intOf(v);
        selectBytes(start, settings_.selectionLength);
        return 0;
    }
    case kSelectedText: replaceSelection(textOf(v)); return 0;
    case kReserved1: settings_.reservedText1 = textOf(v); return 0;
    case kReserved2: settings_.reservedText2 = textOf(v); return 0;
    default: return 0;
    }
}

runtime::Value EditBoxObject::property(int index) const
{
    using runtime::Value;
    switch (index) {
    case kContent: return Value::text(content());
    case kBorder: return Value::integer(settings_.borderStyle);
    case kTextColour: return Value::integer(std::int32_t(settings_.textColour));
    case kBackgroundColour: return Value::integer(std::int32_t(settings_.backgroundColour));
    case kFont: return fontValue(settings_.font);
    case kHideSelection: return Value::logical(settings_.hideSelection != 0);
    case kMaxLength: return Value::integer(settings_.maxLength);
    case kMultiLine: return Value::logical(settings_.multiLine != 0);
    case kScrollBars: return Value::integer(settings_.scrollBars);
    case kAlignment: return Value::integer(settings_.alignment);
    case kInputMode: return Value::integer(settings_.inputMode);
    case kPasswordChar: {
        const std::uint16_t c = std::uint16_t(settings_.passwordChar);
        std::string t;
        if (c != 0)
            t.push_back(char(c & 0xFF));
        if (c > 0xFF)
            t.push_back(char(c >> 8));
        return Value::text(t);
    }
    case kCase: return Value::integer(settings_.caseConversion);
    case kSpinMode: return Value::integer(settings_.spinMode);
    case kSpinMinimum: return Value::integer(settings_.spinMinimum);
    case kSpinMaximum: return Value::integer(settings_.spinMaximum);
    case kSelectionStart: return Value::integer(currentSettings().selectionStart);
    case kSelectionLength: return Value::integer(currentSettings().selectionLength);
    case kSelectedText: return Value::text(selectedText());
    case kReserved1: return Value::text(settings_.reservedText1);
    case kReserved2: return Value::text(settings_.reservedText2);
    default: return {};
    }
}

bool EditBoxObject::wantsKey(int virtualKey) const
{
    constexpr int kEnter = 13;
    return virtualKey == kEnter && settings_.multiLine != 0 && settings_.inputMode != 1;
}

namespace {

using namespace property_type;
constexpr std::array<PropertyDescriptor, 21> kEditBoxProperties = {{
    {"内容", "Content", kText},
    {"边框", "Border", kChoice},
    {"文本颜色", "TextColor", kColour},
    {"背景颜色", "BackColor", kBackgroundColour},
    {"字体", "Font", kFont},
    {"隐藏选择", "HideSelection", kLogical},
    {"最大允许长度", "MaxLength", kInteger},
    {"是否允许多行", "MultiLine", kLogical},
    {"滚动条", "ScrollBars", kChoice},
    {"对齐方式", "Alignment", kChoice},
    {"输入方式", "InputMode", kChoice},
    {"密码遮盖字符", "PasswordChar", kText},
    {"转换方式", "CaseConversion", kChoice},
    {"调节器方式", "SpinMode", kChoice},
    {"调节器底限值", "SpinMinimum", kInteger},
    {"调节器上限值", "SpinMaximum", kInteger},
    {"起始选择位置", "SelStart", kInteger},
    {"被选择字符数", "SelLength", kInteger},
    {"被选择文本", "SelText", kText},
    {"", "", kText},
    {"", "", kText},
}};

std::unique_ptr<ComponentObject> create(const CreateRequest& request)
{
    auto s = settingsFor<EditBoxSettings>(request);
    if (!s)
        return nullptr;
    return std::make_unique<EditBoxObject>(request, *s);
}

int setProperty(ComponentObject& o, int index, const runtime::Value& v)
{
    return static_cast<EditBoxObject&>(o).setProperty(index, v);
}

runtime::Value getProperty(const ComponentObject& o, int index)
{
    return static_cast<const EditBoxObject&>(o).property(index);
}

UnitData currentUnitData(const ComponentObject& o) { return static_cast<const EditBoxObject&>(o).currentSettings(); }

bool wantsKey(const ComponentObject& o, int key) { return static_cast<const EditBoxObject&>(o).wantsKey(key); }

} // namespace

const UnitDescriptor& editBoxKind()
{
    static const UnitDescriptor descriptor{std::uint32_t(UnitKind::EditBox),
                                           "编辑框",
                                           "EditBox",
                                           kind_flags::kRaisesEvents | kind_flags::kRaisesEvents2,
                                           29,
                                           kEditBoxProperties,
                                           KindOperations{create, setProperty, currentUnitData, getProperty, wantsKey}};
    return descriptor;
}

} // namespace qr::forms::kinds
