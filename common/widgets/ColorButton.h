#pragma once

#include <QColor>
#include <QLabel>

// A colour swatch that opens the colour dialog when clicked or when Space or Return is
// pressed on it, and reports the chosen colour.
class ColorButton : public QLabel
{
    Q_OBJECT
public:
    ColorButton(QWidget *parent, const QColor &color);
    ~ColorButton() override;

    // Shows the colour without reporting a change.
    void setColor(const QColor &color);
    QColor color() const;

signals:
    void clicked();
    void colorChanged(QColor color);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    void onChangeColor();

private:
    QColor m_color;
};
