#include "shell/shortcuts.h"

#include "shell/forma_main.h"
#include "shell/lock_keys.h"

namespace zuvela {

Shortcuts::Shortcuts(FormaMain& window) : m_window(window) {
    for (ControlId holder : k_shortcut_holders) {
        window.router().on_key_down(holder, [this](const KeyArgs& args) { KeyDown(args); });
    }
}

void Shortcuts::KeyDown(const KeyArgs& args) {
    Seams& seams = m_window.seams();
    const Shortcut shortcut = shortcut_for(args.code, args.shift);
    if (shortcut == Shortcut::Print && seams.print_picture) seams.print_picture();
    if (shortcut == Shortcut::Exit && seams.show_exit_dialog) seams.show_exit_dialog();
    if (shortcut == Shortcut::Info && seams.show_info_panel) seams.show_info_panel();
}

}  // namespace zuvela
