#include "ui/about_links.h"

#include "app/search_folders.h"

#ifndef TV_DONATE_URL
#define TV_DONATE_URL ""
#endif

namespace ui {

std::string MakerLink() { return app::ProgramFolder() + "\\" + kGuideFileName; }

std::string DonateUrl() { return TV_DONATE_URL; }

}  // namespace ui
