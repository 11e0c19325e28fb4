// The windowing layer: the main window's life, its popup menu and message box.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/idle_choice.h"
#include "platform/records.h"

namespace kavri {

struct MenuItem {
    std::string name;     // control name, as "mnuShow"
    std::string caption;  // UTF-8; "-" is a separator
};

struct Menu {
    std::string caption;
    std::vector<MenuItem> items;
};

class Windowing {
public:
    virtual ~Windowing() = default;
    // True when another instance of this program already runs.
    virtual bool PrevInstance() = 0;
    // Folder of the program's executable, without a trailing separator except at a root.
    virtual std::string AppPath() = 0;
    // Full path of the program's executable.
    virtual std::string ExePath() = 0;
    virtual float TwipsPerPixelX() = 0;
    virtual Handle WindowHandle() = 0;
    virtual Handle IconHandle() = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    // Closes the window for good: the close handlers run with unload mode 1.
    virtual void Unload() = 0;
    // Ends the program at once; no further window event runs.
    virtual void End() = 0;
    // Shows the menu at the mouse position with a bold default item and waits until it closes.
    // Returns the index of the chosen item, or -1 when none was chosen.
    virtual int PopupMenu(const Menu& menu, int defaultItem) = 0;
    // Modal message box, its texts UTF-8; returns the button pressed.
    virtual int MsgBox(const std::string& prompt, int style, const std::string& title) = 0;
    // A small modal dialog with one edit box, prefilled with value: OK takes the text, Cancel or
    // Esc gives nothing. While check names a reason the text is refused, it shows beside the box
    // and OK is unavailable. Texts are UTF-8.
    using TextCheck = std::function<std::string(const std::string& text)>;
    virtual std::optional<std::string> InputText(const std::string& title, const std::string& prompt,
                                                 const std::string& value, std::size_t maxCharacters,
                                                 const TextCheck& check) = 0;
    // The standard Open dialog for a text file: the chosen file's path, or nothing.
    virtual std::optional<std::string> ChooseTextFile(const std::string& title) = 0;
    // The Options dialog: whether time away from the game counts, and the idle limit in minutes;
    // why idle time cannot be measured, when it cannot, in one sentence. While time away is not
    // counted and limitCheck names a reason the typed limit is refused, it shows and OK is
    // unavailable. OK gives the choice, Cancel or Esc nothing.
    virtual std::optional<IdleOptions> AskIdleOptions(const IdleOptions& current, const std::string& blindReason,
                                                      const TextCheck& limitCheck) = 0;
};

}  // namespace kavri
