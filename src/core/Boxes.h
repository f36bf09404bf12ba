// The shared message boxes. Everything that asks or tells the user something in a box
// goes through CaptionedBox, whose presenter tests replace so that no box ever blocks.
#pragma once

#include <QString>
#include <functional>

namespace Boxes {

enum Buttons { Ok = 0, OkCancel = 1 };  // the platform's box flags
enum Result { IdOk = 1, IdCancel = 2 }; // identifiers of the pressed button
enum class Icon { None, Error };

using Presenter = std::function<int(const QString &caption, const QString &text, Buttons, Icon)>;

// Installs the function that shows boxes; returns the previous one. Without a presenter a
// box is written to the log and answered with Cancel, so nothing destructive happens.
Presenter setPresenter(Presenter presenter);

// While it lives, boxes go to the log (nothing may wait for the user, as while the
// session ends); the previous presenter comes back afterwards, also after an exception.
class LoggedOnly
{
public:
    LoggedOnly()
        : previous(setPresenter(nullptr))
    {
    }
    ~LoggedOnly() { setPresenter(previous); }
    LoggedOnly(const LoggedOnly &) = delete;
    LoggedOnly &operator=(const LoggedOnly &) = delete;

private:
    Presenter previous;
};

// Installs a step that runs before every box is shown (bulk work stores what it has done
// so far); returns the previous one. An empty step removes it.
using BeforeBox = std::function<void()>;
BeforeBox setBeforeBox(BeforeBox step);

int CaptionedBox(const QString &caption, const QString &text, Buttons buttons, Icon icon = Icon::None);

} // namespace Boxes

// "Ask" with OK and Cancel; true only when OK was pressed.
bool AskBox(const QString &text);
void ErrorBox(const QString &text);
void WarningBox(const QString &text);
void TipBox(const QString &text);
