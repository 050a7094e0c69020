#pragma once
// The grid pop-up menu shared by the pages: "Edit mode" / "Read only", checked by the
// state of the grid it was opened on.

#include <QActionGroup>
#include <QMenu>

#include <functional>

namespace corvane {

// `isEditable` tells the state when the menu opens; `setEditable` applies a choice.
inline QMenu* makeEditModeMenu(QWidget* owner, std::function<bool()> isEditable,
                               std::function<void(bool)> setEditable) {
    auto* menu = new QMenu(owner);
    menu->setObjectName(QStringLiteral("PopupMenu"));
    auto* modes = new QActionGroup(menu);
    QAction* miEdit = menu->addAction(QStringLiteral("Edit mode"));
    miEdit->setObjectName(QStringLiteral("miEdit"));
    QAction* miReadonly = menu->addAction(QStringLiteral("Read only"));
    miReadonly->setObjectName(QStringLiteral("miReadonly"));
    for (QAction* action : {miEdit, miReadonly}) {
        action->setCheckable(true);
        modes->addAction(action);
    }
    QObject::connect(menu, &QMenu::aboutToShow, owner, [miEdit, miReadonly, isEditable] {
        const bool editable = isEditable();
        miEdit->setChecked(editable);
        miReadonly->setChecked(!editable);
    });
    QObject::connect(miEdit, &QAction::triggered, owner, [setEditable] { setEditable(true); });
    QObject::connect(miReadonly, &QAction::triggered, owner, [setEditable] { setEditable(false); });
    return menu;
}

} // namespace corvane
