#pragma once

#include <QString>
#include <QWidget>

// One line of text that shows as much as fits, cut in the middle ("/home/…/praca"),
// with the whole text as its tooltip. It asks for no width of its own, so the
// widgets beside it in a layout keep theirs.
class ElidedLabel : public QWidget {
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    void SetText(const QString& text);
    QString Text() const { return text_; }
    // The text as it is drawn at the current width.
    QString ShownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
};
