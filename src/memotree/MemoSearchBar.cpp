#include "MemoSearchBar.h"

#include "GeneralErrorHandler.h"
#include "HelpContext.h"
#include "ImageLists.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

namespace {

const QString kPlaceholder = QStringLiteral("  Search...");

void setTextColor(QLineEdit *edit, QPalette::ColorRole role)
{
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Text, QApplication::palette().color(role));
    edit->setPalette(palette);
}

} // namespace

MemoSearchBar::MemoSearchBar(QAction *searchWide, QWidget *parent)
    : PictureToolBar(parent)
{
    setObjectName(QStringLiteral("ToolBar_Bottom"));
    setIconSize(QSize(16, 16));
    Btn_searchWide = new QToolButton(this);
    Btn_searchWide->setObjectName(QStringLiteral("Btn_searchWide"));
    Btn_searchWide->setDefaultAction(searchWide);
    Btn_searchWide->setAutoRaise(true);
    Btn_searchWide->setFixedHeight(24);
    addWidget(Btn_searchWide);
    Edt_Search = new QLineEdit(this);
    Edt_Search->setObjectName(QStringLiteral("Edt_Search"));
    Edt_Search->setToolTip(QStringLiteral("Input search string"));
    HelpContext::set(Edt_Search, HelpContext::kSearching);
    Edt_Search->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    Edt_Search->setMinimumWidth(40);
    Edt_Search->installEventFilter(this);
    addWidget(Edt_Search);
    auto *gap = new QWidget(this);
    gap->setFixedWidth(10);
    addWidget(gap);
    Btn_Search = new QToolButton(this);
    Btn_Search->setObjectName(QStringLiteral("Btn_Search"));
    Btn_Search->setAutoRaise(true);
    Btn_Search->setFixedHeight(24);
    addWidget(Btn_Search);
    setSearchButtonLook(false);
    connect(Btn_Search, &QToolButton::clicked, this, [this] { Btn_SearchClick(); });
    connect(Edt_Search, &QLineEdit::textChanged, this,
            [this] { GeneralErrorHandler::guarded([this] { Edt_SearchChange(); }); });
}

void MemoSearchBar::setSearchButtonLook(bool inSearchMode)
{
    const int image = inSearchMode ? 19 : 18;
    Btn_Search->setIcon(ImageLists::icon16(image));
    Btn_Search->setProperty("imageIndex", image);
    Btn_Search->setToolTip(inSearchMode ? QStringLiteral("Clear search") : QString());
}

void MemoSearchBar::setSearchIdle()
{
    searching = false;
    setTextColor(Edt_Search, QPalette::PlaceholderText);
    Edt_Search->setText(kPlaceholder); // runs the change handler, which shows every memo
    setSearchButtonLook(false);
}

void MemoSearchBar::Edt_SearchEnter()
{
    emit searchStarting();
    if (searching)
        return;
    Edt_Search->clear();
    setTextColor(Edt_Search, QPalette::Text);
    searching = true;
    setSearchButtonLook(true);
}

void MemoSearchBar::Edt_SearchExit()
{
    if (!Edt_Search->text().trimmed().isEmpty())
        return; // a box with text keeps search mode and its filter
    setSearchIdle();
}

void MemoSearchBar::Edt_SearchChange()
{
    text = Edt_Search->text().trimmed().toUtf8();
    emit filterChanged();
}

bool MemoSearchBar::Edt_SearchKeyDown(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        Btn_SearchClick();
        return true;
    }
    if (event->key() == Qt::Key_A && (event->modifiers() & Qt::ControlModifier)) {
        Edt_Search->selectAll();
        return true;
    }
    return false;
}

void MemoSearchBar::Btn_SearchClick()
{
    if (searching) {
        Edt_Search->clear();
        Edt_SearchExit();
        emit filterChanged();
        emit searchCleared();
    } else {
        Edt_Search->setFocus(Qt::OtherFocusReason); // entering the box starts search mode
    }
}

bool MemoSearchBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Edt_Search) {
        if (event->type() == QEvent::FocusIn)
            Edt_SearchEnter();
        else if (event->type() == QEvent::FocusOut)
            Edt_SearchExit();
        else if (event->type() == QEvent::KeyPress && Edt_SearchKeyDown(static_cast<QKeyEvent *>(event)))
            return true;
    }
    return PictureToolBar::eventFilter(watched, event);
}

void MemoSearchBar::resizeEvent(QResizeEvent *event)
{
    PictureToolBar::resizeEvent(event);
    ToolBar_BottomResize();
}

void MemoSearchBar::ToolBar_BottomResize()
{
    // The box stretches over the bar, leaving room for the two buttons and a 10 pixel gap;
    // a maximum rather than a fixed width, so the box never widens the window.
    const int buttonWidth = Btn_Search->sizeHint().width();
    Edt_Search->setMaximumWidth(qMax(40, width() - 2 * buttonWidth - 10));
}
