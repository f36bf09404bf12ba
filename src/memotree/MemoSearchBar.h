// The search bar under the tree: the wide-search switch, the search box and the search
// button. It keeps the box's two modes: idle, showing the grey placeholder "  Search...",
// and search mode, entered when the box takes the focus, in which the typed text is the
// filter. The frame filters the tree whenever filterChanged() is raised.
#pragma once

#include "PictureToolBar.h"

#include <QByteArray>

class QAction;
class QKeyEvent;
class QLineEdit;
class QToolButton;

class MemoSearchBar : public PictureToolBar
{
    Q_OBJECT
public:
    // searchWide is the frame's wide-search command, shown as the bar's first button.
    MemoSearchBar(QAction *searchWide, QWidget *parent = nullptr);

    // True in search mode; the filter applies only then.
    bool isSearching() const { return searching; }
    // The box's text without leading and trailing blanks, as UTF-8 bytes.
    const QByteArray &searchText() const { return text; }
    // Leaves search mode and shows the placeholder (the filter is told).
    void setSearchIdle();

    // The search button: clears the search in search mode, otherwise enters the box.
    void Btn_SearchClick();

signals:
    // The box takes the focus: the filter should get ready for the first keystroke.
    void searchStarting();
    // The text or the mode changed: filter again.
    void filterChanged();
    // The search was cleared by the button or Esc: the tree takes the focus back.
    void searchCleared();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void Edt_SearchEnter();
    void Edt_SearchExit();
    void Edt_SearchChange();
    bool Edt_SearchKeyDown(QKeyEvent *event);
    void ToolBar_BottomResize();
    void setSearchButtonLook(bool inSearchMode);

    QToolButton *Btn_searchWide = nullptr;
    QLineEdit *Edt_Search = nullptr;
    QToolButton *Btn_Search = nullptr;
    bool searching = false;
    QByteArray text;
};
