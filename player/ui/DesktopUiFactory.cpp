// The toolkit's choice for this session, and the start-up message box.
#include <gtk/gtk.h>

#include <iostream>
#include <string>

#include "player/DesktopUi.h"
#include "player/TrayUi.h"
#include "player/ui/GtkDesktopUi.h"

namespace player {

std::unique_ptr<DesktopUi> MakeDesktopUi(DesktopUiServices services)
{
    if (!gtk_init_check(nullptr, nullptr))
        return MakeWindowlessDesktopUi(services);
    return std::make_unique<GtkDesktopUi>(services);
}

void ShowStartupError(std::string_view text, std::string_view title)
{
    std::cerr << title << ": " << text << '\n';
    if (!gtk_init_check(nullptr, nullptr))
        return;
    const std::string message(text);
    GtkWidget* box = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR, GTK_BUTTONS_OK, "%s",
                                            message.c_str());
    gtk_window_set_title(GTK_WINDOW(box), std::string(title).c_str());
    gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER);
    // Modal like a message box: waits for the user in a loop of its own.
    gtk_dialog_run(GTK_DIALOG(box));
    gtk_widget_destroy(box);
}

} // namespace player
