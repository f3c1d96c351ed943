// Folders: tabs and pages, and the page in front.
#include "winlib/folder.h"

#include "winlib/driver/controls.h"
#include "winlib/driver/windows.h"

namespace winlib {
namespace {

std::shared_ptr<TFolder> make_folder(std::vector<std::string> prompts,
                                     std::vector<std::shared_ptr<TDialog>> pages) {
    auto folder = std::make_shared<TFolder>();
    folder->APROMPTS = std::move(prompts);
    folder->ADIALOGS = std::move(pages);
    return folder;
}

}  // namespace

std::shared_ptr<TFolder> TFolder::Redefine(Window& dlg, int id, std::vector<std::string> prompts,
                                           std::vector<std::shared_ptr<TDialog>> pages) {
    auto folder = make_folder(std::move(prompts), std::move(pages));
    bind_to_template(dlg, folder, id);
    return folder;
}

std::shared_ptr<TFolder> TFolder::New(Window& dlg, Rect rect, std::vector<std::string> prompts,
                                      std::vector<std::shared_ptr<TDialog>> pages) {
    auto folder = make_folder(std::move(prompts), std::move(pages));
    place(dlg, folder, rect, 0);
    return folder;
}

std::shared_ptr<TDialog> TFolder::Page() {
    return TDialog::New("", 0, 0, ws::kChild | ds::kControl);
}

void TFolder::SetOption(int n) {
    if (n < 1 || n > static_cast<int>(ADIALOGS.size())) return;
    nOption = n;
    if (hWnd == 0) return;
    driver::select(*this, n <= static_cast<int>(APROMPTS.size()) ? n : 0);
    // The new page first, so that the folder never shows empty in between.
    if (const auto& front = ADIALOGS[static_cast<std::size_t>(n - 1)]; front->hWnd != 0)
        driver::show_page(*front, true);
    for (std::size_t i = 0; i < ADIALOGS.size(); ++i)
        if (static_cast<int>(i) != n - 1 && ADIALOGS[i]->hWnd != 0)
            driver::show_page(*ADIALOGS[i], false);
}

void TFolder::Refresh() {
    if (hWnd == 0) return;
    driver::set_items(*this, APROMPTS);
    SetOption(nOption);
}

void TFolder::on_changed() {
    SetOption(driver::selection(*this));
    if (bChange) bChange();
}

void TFolder::on_created() {
    for (const auto& page : ADIALOGS) page->realise_as_page(*this);
    SetOption(nOption);
}

// The native pages went with the window: their handles, and their pages', are forgotten.
void TFolder::on_window_gone() {
    for (const auto& page : ADIALOGS) page->finish();
}

}  // namespace winlib
