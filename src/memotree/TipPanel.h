// The tip panel between the tree and the search bar: a picture and a link-like text
// that tells the user what to do next ("Click here to Add a new Item."). Each tip mode
// has its text and picture; mode 0 hides the panel. A click on the text is reported,
// and the frame runs the mode's action.
#pragma once

#include <QWidget>

#include <array>

class QLabel;
class TipLabel;

class TipPanel : public QWidget
{
    Q_OBJECT
public:
    static const std::array<const char *, 4> tipTexts;
    static const std::array<int, 4> tipImages; // indexes of the 16 pixel image list

    explicit TipPanel(QWidget *parent = nullptr);

    // Shows the mode's text and picture, or hides the panel for mode 0 (or a mode
    // outside the table).
    void showTip(int mode);
    // Shows a message of the program's own (mode kNoticeMode); clicking it does nothing.
    void showNotice(const QString &text);
    static constexpr int kNoticeMode = 4;
    int tipMode() const { return mode; }
    QString text() const;
    int imageIndex() const;

signals:
    void clicked();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // The text wraps to the room right of the picture; the panel is 8 pixels taller.
    void Panel_tipResize();

    QLabel *Image_Tip = nullptr;
    TipLabel *label_tip = nullptr;
    int mode = 0;
};
