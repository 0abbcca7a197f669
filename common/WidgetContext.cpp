#include "common/WidgetContext.h"

namespace {

Settings *s_settings = nullptr;
int s_uiStyle = 0;
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

void WidgetContext::setUiStyle(int style)
{
    s_uiStyle = style;
}

int WidgetContext::uiStyle()
{
    return s_uiStyle;
}

void WidgetContext::setPlan(const Document *plan)
{
    s_plan = plan;
}

const Document *WidgetContext::plan()
{
    return s_plan;
}
