#include "common/widgets/WidgetContext.h"

#include "common/widgets/Settings.h"

namespace {

Settings *s_settings = nullptr;
const Document *s_plan = nullptr;

} // namespace

void WidgetContext::setSettings(Settings *settings)
{
    s_settings = settings;
}

Settings *WidgetContext::settings()
{
    return s_settings;
}

int WidgetContext::uiStyle()
{
    return s_settings ? s_settings->uiStyle() : UiStyle::Standard;
}

void WidgetContext::setPlan(const Document *plan)
{
    s_plan = plan;
}

const Document *WidgetContext::plan()
{
    return s_plan;
}
