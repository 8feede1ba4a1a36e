// SPDX-License-Identifier: MIT
#include "elements_p.h"

#include <QPainter>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>
#include <cmath>

namespace kalendo::detail {

Label::Label(QWidget* parent)
    : QWidget(parent) {}

void Label::setText(const QString& text) {
    if (text == m_text)
        return;
    m_text = text;
    update();
}

void Label::setForeColour(OleColour c) {
    if (c == m_fore)
        return;
    m_fore = c;
    update();
}

void Label::setBackColour(OleColour c) {
    if (c == m_back)
        return;
    m_back = c;
    update();
}

void Label::setOpaque(bool opaque) {
    if (opaque == m_opaque)
        return;
    m_opaque = opaque;
    update();
}

void Label::setBorder(bool border) {
    if (border == m_border)
        return;
    m_border = border;
    update();
}

void Label::setAlignment(Qt::Alignment alignment) {
    m_alignment = alignment;
    update();
}

void Label::paintEvent(QPaintEvent*) {
    if (!m_opaque && !m_border && m_text.isEmpty())
        return;
    QPainter p(this);
    if (m_opaque)
        p.fillRect(rect(), toQColor(m_back, palette()));
    if (!m_text.isEmpty()) {
        if (font().pixelSize() > kLargeText) {
            // Glyphs this large are drawn as outlines each time; keep the drawn text.
            if (m_cache.isNull() || m_cacheKey != cacheKey()) {
                m_cache = QPixmap(size() * devicePixelRatioF());
                m_cache.setDevicePixelRatio(devicePixelRatioF());
                m_cache.fill(Qt::transparent);
                QPainter cp(&m_cache);
                cp.setFont(font());
                cp.setPen(toQColor(m_fore, palette()));
                cp.drawText(textOrigin(cp.fontMetrics()), m_text);
                m_cacheKey = cacheKey();
            }
            p.drawPixmap(0, 0, m_cache);
        } else {
            p.setPen(toQColor(m_fore, palette()));
            p.drawText(textOrigin(p.fontMetrics()), m_text);
        }
    }
    if (m_border) {
        p.setPen(palette().color(QPalette::WindowText));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

QString Label::cacheKey() const {
    return m_text + QLatin1Char('\n') + font().key() + QLatin1Char('\n') +
           toQColor(m_fore, palette()).name(QColor::HexArgb) + QLatin1Char('\n') +
           QString::number(width()) + QLatin1Char('x') + QString::number(height());
}

QPoint Label::textOrigin(const QFontMetrics& fm) const {
    // The texts sit at the top of their box as the classic fonts put them: the baseline
    // 0.86 em down. Fallback CJK faces have a much taller ascent and would push the
    // glyphs out of the bottom of the small boxes.
    const int em = font().pixelSize() > 0 ? font().pixelSize() : fm.height();
    const int baseline = std::min(fm.ascent(), int(std::lround(0.86 * em)));
    const int advance = fm.horizontalAdvance(m_text);
    int x = 0;
    if (m_alignment & Qt::AlignHCenter)
        x = (width() - advance) / 2;
    else if (m_alignment & Qt::AlignRight)
        x = width() - advance;
    return QPoint(x, baseline);
}

Dot::Dot(QWidget* parent)
    : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Dot::setColour(OleColour c) {
    if (c == m_colour)
        return;
    m_colour = c;
    update();
}

void Dot::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(toQColor(m_colour, palette()));
    p.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

PictureButton::PictureButton(QWidget* parent)
    : QAbstractButton(parent) {}

void PictureButton::setBackColour(OleColour c) {
    if (c == m_back)
        return;
    m_back = c;
    update();
}

void PictureButton::setPicture(const QPixmap& p) {
    m_picture = p;
    update();
}

void PictureButton::setPressedPicture(const QPixmap& p) {
    m_pressed = p;
    update();
}

QPixmap PictureButton::shownPicture() const {
    // A button without a pressed picture keeps its normal one while held down.
    if (isDown() && !m_pressed.isNull())
        return m_pressed;
    return m_picture;
}

void PictureButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, toQColor(m_back, palette()));
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    const QColor shadow = palette().color(QPalette::Shadow);
    const bool down = isDown();
    p.setPen(down ? shadow : light);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(down ? light : shadow);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    if (!down) {
        p.setPen(dark);
        p.drawLine(r.left() + 1, r.bottom() - 1, r.right() - 1, r.bottom() - 1);
        p.drawLine(r.right() - 1, r.top() + 1, r.right() - 1, r.bottom() - 1);
    }
    const QRect inner = r.adjusted(2, 2, -2, -2).translated(down ? 1 : 0, down ? 1 : 0);
    const QPixmap shown = shownPicture();
    if (!isEnabled())
        p.setOpacity(0.45);
    if (!shown.isNull()) {
        // Centred, as large as it is; a picture larger than the button is clipped.
        p.setClipRect(r.adjusted(2, 2, -2, -2));
        const QSize s = shown.deviceIndependentSize().toSize();
        p.drawPixmap(QRect(QPoint(inner.center().x() - s.width() / 2 + 1,
                                  inner.center().y() - s.height() / 2 + 1),
                           s),
                     shown);
    } else {
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                 QPalette::ButtonText));
        p.drawText(inner, Qt::AlignCenter, text());
    }
}

ListBox::ListBox(QWidget* parent)
    : QComboBox(parent) {}

void ListBox::showPopup() {
    const int entry = m_entry ? m_entry() : -1;
    if (entry != currentIndex()) {
        // Making the entry current rewrites the text; the text stays what it was.
        const QSignalBlocker blocker(this);
        const QString text = currentText();
        setCurrentIndex(entry);
        setEditText(text);
    }
    QComboBox::showPopup();
}

PictureBox::PictureBox(QWidget* parent)
    : QWidget(parent) {}

void PictureBox::setPicture(const QPixmap& p) {
    m_picture = p;
    update();
}

void PictureBox::paintEvent(QPaintEvent*) {
    if (m_picture.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(rect(), m_picture);
}

} // namespace kalendo::detail
