#pragma once

#include "app/command_table.h"

#include <QObject>
#include <map>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;
class QWidget;

namespace vellick {

// The main window's actions, one per command, and the menus and toolbar built from them. The frame
// connects the actions to its handlers; the enabling rules set their states.
class FrameCommands : public QObject {
    Q_OBJECT
public:
    explicit FrameCommands(QMainWindow& window);

    QAction* action(CommandId id) const { return m_actions.at(id); }
    QToolBar* toolBar() const { return m_toolBar; }
    // The result list's context menu, built on the same actions; the caller owns it.
    QMenu* createListContextMenu(QWidget* parent) const;

signals:
    void triggered(vellick::CommandId id);

private:
    void createActions(QMainWindow& window);
    void createMenus(QMainWindow& window);
    void createToolBar(QMainWindow& window);
    void fillMenu(QMenu& menu, std::span<const MenuEntry> entries) const;

    std::map<CommandId, QAction*> m_actions;
    QToolBar* m_toolBar = nullptr;
};

} // namespace vellick
