#include "pages/link_status_view.h"

#include <algorithm>
#include <iterator>

#include "model/app_state.h"
#include "model/register_catalogue.h"
#include "model/uir_ids.h"
#include "platform/ui/ui.h"

void LinkStatusPanel::draw(const std::string& text, bool dimmed)
{
    const int panel = panelMain.load();
    if (text != text_) {
        SetCtrlVal(panel, uir::panel_main::LINK_STATUS, text.c_str());
        text_ = text;
    }
    const int dim = dimmed ? 1 : 0;
    if (dim == dimmed_) return;
    dimmed_ = dim;
    // Every read-out of the status area, the tables (fault list included) once each.
    for (std::size_t i = 0; i < std::size(queryItemID); ++i) {
        const int control = queryItemID[i];
        if (std::find(queryItemID, queryItemID + i, control) != queryItemID + i) continue;
        SetCtrlAttribute(panel, control, ATTR_DIMMED, dim);
    }
}

void LinkStatusPanel::reset()
{
    *this = LinkStatusPanel{};
}
