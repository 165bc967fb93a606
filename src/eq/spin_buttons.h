#pragma once
// A pair of up and down arrows beside a numeric edit, the updown control of
// the band editors. Each click (and each auto-repeat while held) reports one
// step: +1 for the up arrow, -1 for the down arrow, so the value moves in the
// arrow's direction. Nothing but a user's click reports a step. The arrows
// never take the focus, so the edit beside them keeps it.
#include <QWidget>

class QToolButton;

class SpinButtons : public QWidget {
    Q_OBJECT
public:
    explicit SpinButtons(QWidget* parent = nullptr);

    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

signals:
    void Stepped(int step);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* up_;
    QToolButton* down_;
};
