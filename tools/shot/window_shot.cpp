#include "tools/shot/window_shot.h"

#include "forms/registry/fonts.h"
#include "forms/registry/window_registry.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QWidget>

namespace qr::tools {
namespace {

// The classic fixed frame the stored sizes were designed with: 3-pixel border,
// 23-pixel caption bar.
constexpr int kBorder = 3;
constexpr int kCaption = 23;

QWidget* windowWidget(std::uint32_t windowId)
{
    const QString name = QString::asprintf("0x%08X", windowId);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name)
            return w;
    return nullptr;
}

void drawCaptionButton(QPainter& p, const QRect& r, const QString& glyph)
{
    p.fillRect(r, QColor(0xD4, 0xD0, 0xC8));
    p.setPen(QColor(0xFF, 0xFF, 0xFF));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    QFont glyphFont = p.font();
    glyphFont.setBold(true);
    glyphFont.setPixelSize(11);
    p.setFont(glyphFont);
    p.setPen(Qt::black);
    p.drawText(r, Qt::AlignCenter, glyph);
}

} // namespace

QImage shootWindow(std::uint32_t windowId)
{
    QWidget* window = windowWidget(windowId);
    if (window == nullptr || !forms::isLoaded(windowId))
        return {};
    const QPixmap client = window->grab();
    const int outerWidth = forms::readProperty(windowId, windowId - 0x4C000001, 2).asInteger();
    const int outerHeight = forms::readProperty(windowId, windowId - 0x4C000001, 3).asInteger();
    QImage shot(std::max(outerWidth, client.width()), std::max(outerHeight, client.height()), QImage::Format_ARGB32);
    shot.fill(QColor(0xD4, 0xD0, 0xC8));

    QPainter p(&shot);
    // Frame edges.
    p.setPen(QColor(0xFF, 0xFF, 0xFF));
    p.drawLine(1, 1, shot.width() - 2, 1);
    p.drawLine(1, 1, 1, shot.height() - 2);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.drawRect(0, 0, shot.width() - 1, shot.height() - 1);

    // Caption bar with the window icon, the caption and its buttons.
    const QRect bar(kBorder, kBorder, shot.width() - 2 * kBorder, kCaption - 1);
    QLinearGradient gradient(bar.topLeft(), bar.topRight());
    gradient.setColorAt(0, QColor(0x0A, 0x24, 0x6A));
    gradient.setColorAt(1, QColor(0xA6, 0xCA, 0xF0));
    p.fillRect(bar, gradient);
    int textLeft = bar.left() + 4;
    const QIcon icon = window->windowIcon();
    if (!icon.isNull()) {
        p.drawPixmap(QRect(textLeft, bar.top() + 3, 16, 16), icon.pixmap(16, 16));
        textLeft += 20;
    }
    QFont captionFont = forms::defaultGuiFont();
    captionFont.setBold(true);
    p.setFont(captionFont);
    p.setPen(Qt::white);
    p.drawText(QRect(textLeft, bar.top(), bar.width() - 80, bar.height()), Qt::AlignVCenter | Qt::AlignLeft,
               window->windowTitle());
    QRect button(bar.right() - 18, bar.top() + 2, 16, 14);
    if (window->windowFlags() & Qt::WindowCloseButtonHint) {
        drawCaptionButton(p, button, QStringLiteral("x"));
        button.translate(-18, 0);
    }
    if (window->windowFlags() & Qt::WindowMaximizeButtonHint) {
        drawCaptionButton(p, button, QStringLiteral("□"));
        button.translate(-16, 0);
    }
    if (window->windowFlags() & Qt::WindowMinimizeButtonHint)
        drawCaptionButton(p, button, QStringLiteral("_"));

    p.drawPixmap(kBorder, kBorder + kCaption, client);
    return shot;
}

} // namespace qr::tools
