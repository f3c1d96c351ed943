// A folder: tabs (APROMPTS) over pages (ADIALOGS), each page a dialog with its own
// controls and its own modified flag. One page shows at a time, the one SetOption()
// brought to the front or the user chose by its tab. Pages are realised with the window
// that holds the folder and go with it.
//
// A page built at run time is TFolder::Page(); one from the program's resources is a
// dialog template with the style WS_CHILD | DS_CONTROL (TDialog::FromResource).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "winlib/control.h"
#include "winlib/window.h"

namespace winlib {

class TFolder : public Control {
public:
    static std::shared_ptr<TFolder> Redefine(Window& dlg, int id, std::vector<std::string> prompts,
                                             std::vector<std::shared_ptr<TDialog>> pages);
    static std::shared_ptr<TFolder> New(Window& dlg, Rect rect, std::vector<std::string> prompts,
                                        std::vector<std::shared_ptr<TDialog>> pages);
    // An empty page to be filled with controls built at run time.
    static std::shared_ptr<TDialog> Page();
    static constexpr ControlClass kClass{"TFOLDER", window_class::kTabControl,
                                         ws::kTabStop | ws::kClipSiblings};
    const ControlClass& Class() const override { return kClass; }

    std::vector<std::shared_ptr<TDialog>> ADIALOGS;
    std::vector<std::string> APROMPTS;
    int nOption = 1;  // the page in front, 1-based

    // Brings page n to the front (its tab selected; a page without a tab shows all the same).
    void SetOption(int n);
    // Shows the tabs again (after APROMPTS changed) and the page in front.
    void Refresh() override;
    void on_changed() override;  // the user chose a tab: not a change of the dialog's data
    void on_created() override;
    void on_window_gone() override;
};

}  // namespace winlib
