// SPDX-License-Identifier: MIT
#pragma once

#include "kalendo/ole_colour.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFontMetrics>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <functional>

namespace kalendo::detail {

// Twips to pixels at 96 dots per inch.
constexpr int px(int twips) {
    return (twips + 7) / 15;
}

// A label as the control uses it: its colours are kept as stored values and converted to
// what Qt paints only when it paints, so that readers get back exactly what was set.
class Label : public QWidget {
    Q_OBJECT
    // Readable by name, for hosts' and tests' inspection of the elements.
    Q_PROPERTY(QString text READ text)
    Q_PROPERTY(quint32 foreColour READ foreColour)
    Q_PROPERTY(quint32 backColour READ backColour)
    Q_PROPERTY(bool opaque READ isOpaque)
    Q_PROPERTY(bool border READ hasBorder)
public:
    explicit Label(QWidget* parent);

    QString text() const { return m_text; }
    void setText(const QString& text);
    OleColour foreColour() const { return m_fore; }
    void setForeColour(OleColour c);
    OleColour backColour() const { return m_back; }
    void setBackColour(OleColour c);
    bool isOpaque() const { return m_opaque; }
    void setOpaque(bool opaque);
    bool hasBorder() const { return m_border; }
    void setBorder(bool border);
    void setAlignment(Qt::Alignment alignment);

protected:
    // Mouse events go on to the control, which knows the cell under the pointer.
    void paintEvent(QPaintEvent* event) override;

private:
    QPoint textOrigin(const QFontMetrics& fm) const;
    QString cacheKey() const;
    static constexpr int kLargeText = 48; // pixels

    mutable QPixmap m_cache;
    mutable QString m_cacheKey;
    QString m_text;
    OleColour m_fore = system_colour::kButtonText;
    OleColour m_back = system_colour::kButtonFace;
    bool m_opaque = false;
    bool m_border = false;
    Qt::Alignment m_alignment = Qt::AlignLeft;
};

// A graphical push button: its normal picture, its pressed picture while held down, and
// its caption when it has no picture.
class PictureButton : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(quint32 backColour READ backColour)
    Q_PROPERTY(QPixmap picture READ picture)
    Q_PROPERTY(QPixmap pressedPicture READ pressedPicture)
    Q_PROPERTY(QPixmap shownPicture READ shownPicture)
public:
    explicit PictureButton(QWidget* parent);

    OleColour backColour() const { return m_back; }
    void setBackColour(OleColour c);
    QPixmap picture() const { return m_picture; }
    void setPicture(const QPixmap& p);
    QPixmap pressedPicture() const { return m_pressed; }
    void setPressedPicture(const QPixmap& p);
    // What the button shows now.
    QPixmap shownPicture() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    OleColour m_back = system_colour::kButtonFace;
    QPixmap m_picture;
    QPixmap m_pressed;
};

// An editable drop-down list that opens on the entry its owner names, not on whichever
// entry was current last; the entry is looked up only when the list opens.
class ListBox : public QComboBox {
    Q_OBJECT
public:
    explicit ListBox(QWidget* parent);
    // The entry to open on, -1 for none.
    void setOpeningEntry(std::function<int()> entry) { m_entry = std::move(entry); }
    void showPopup() override;

private:
    std::function<int()> m_entry;
};

// A round mark in the colour of its day's number: a day a host marked.
class Dot : public QWidget {
    Q_OBJECT
public:
    explicit Dot(QWidget* parent);
    void setColour(OleColour c);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    OleColour m_colour = 0;
};

// A picture stretched to its box.
class PictureBox : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QPixmap picture READ picture)
public:
    explicit PictureBox(QWidget* parent);
    QPixmap picture() const { return m_picture; }
    void setPicture(const QPixmap& p);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
};

} // namespace kalendo::detail
