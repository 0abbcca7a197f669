#include "common/widgets/ColorButton.h"

#include "common/core/Colors.h"
#include "common/widgets/DialogHelpers.h"

#include <QKeyEvent>

ColorButton::ColorButton(QWidget *parent, const QColor &color) : QLabel(parent), m_color(color)
{
    setFrameShape(QFrame::WinPanel);
    setFrameShadow(QFrame::Raised);
    setText(QStringLiteral("\u2026"));
    setAlignment(Qt::AlignCenter);
    setMinimumWidth(50);
    setAutoFillBackground(true);
    if (color.isValid())
        setColor(color);
    connect(this, &ColorButton::clicked, this, &ColorButton::onChangeColor);
}

ColorButton::~ColorButton() = default;

void ColorButton::setColor(const QColor &color)
{
    setStyleSheet(QStringLiteral("ColorButton{background-color: rgb(%1, %2, %3);}")
                      .arg(color.red())
                      .arg(color.green())
                      .arg(color.blue()));
    m_color = color;
    // Keep the "…" readable on any swatch.
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, contrastingTextColor(color, false));
    setPalette(pal);
}

QColor ColorButton::color() const
{
    return m_color;
}

void ColorButton::onChangeColor()
{
    QWidget *dialogParent = parentWidget() ? parentWidget() : this;
    const QColor chosen = pickColor(m_color, dialogParent);
    if (!chosen.isValid())
        return;
    setColor(chosen);
    emit colorChanged(chosen);
}

void ColorButton::mousePressEvent(QMouseEvent *)
{
    setFrameShadow(QFrame::Plain);
}

void ColorButton::mouseReleaseEvent(QMouseEvent *)
{
    setFrameShadow(QFrame::Raised);
    emit clicked();
}

void ColorButton::keyPressEvent(QKeyEvent *event)
{
    QLabel::keyPressEvent(event);
    // Only the main Return key: Enter on the keypad is left to the dialog that holds us.
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return)
        onChangeColor();
}
