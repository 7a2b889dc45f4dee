#include "MenuItemState.h"

#include "SymbolicIconEngine.h"

#include <QAction>

namespace {
constexpr auto stateProperty = "menuItemState";
}

void MenuItemState::apply(QAction* action, State state)
{
    action->setCheckable(true);
    action->setChecked(state == On);
    action->setProperty(stateProperty, int(state));
    action->setIcon(state == Mixed
                        ? SymbolicIconEngine::icon(QStringLiteral(":/images/menu-mixed.svg"))
                        : QIcon());
}

MenuItemState::State MenuItemState::of(const QAction* action)
{
    const QVariant state = action->property(stateProperty);
    if (state.isValid())
        return State(state.toInt());
    return action->isChecked() ? On : Off;
}
