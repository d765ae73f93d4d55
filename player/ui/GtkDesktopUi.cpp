#include "player/ui/GtkDesktopUi.h"

namespace player {

GtkDesktopUi::GtkDesktopUi(DesktopUiServices services, std::optional<TrayHostKind> host)
    : view_(std::make_unique<GtkTrayUiView>(services.windows, services.managerWindow, host)),
      logic_(std::make_unique<TrayUi>(services, view_.get()))
{
}

GtkDesktopUi::~GtkDesktopUi() { view_.reset(); }

} // namespace player
