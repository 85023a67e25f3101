#include "app/frame_commands.h"

#include <QAction>
#include <QEvent>
#include <QIcon>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace vellick {

namespace {

bool isToggle(CommandId id)
{
    return id == CommandId::ToggleToolBar || id == CommandId::ToggleStatusBar || id == CommandId::ShowLineNumber;
}

QIcon iconFor(const CommandInfo& info)
{
    const QIcon own = info.ownIcon ? QIcon(QString::fromLatin1(info.ownIcon)) : QIcon();
    return info.themeIcon ? QIcon::fromTheme(QString::fromLatin1(info.themeIcon), own) : own;
}

// The toolbar shows tool tips only: hovering a button leaves the status bar's message alone.
class NoStatusTips : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        return event->type() == QEvent::StatusTip || QObject::eventFilter(watched, event);
    }
};

} // namespace

FrameCommands::FrameCommands(QMainWindow& window)
    : QObject(&window)
{
    createActions(window);
    createMenus(window);
    createToolBar(window);
}

void FrameCommands::createActions(QMainWindow& window)
{
    for (const CommandInfo& info : commandTable()) {
        auto* action = new QAction(QString::fromLatin1(info.menuText), &window);
        QList<QKeySequence> keys;
        for (const char* shortcut : info.shortcuts) {
            if (shortcut)
                keys.append(QKeySequence(QString::fromLatin1(shortcut)));
        }
        action->setShortcuts(keys);
        action->setStatusTip(QString::fromLatin1(info.prompt));
        action->setWhatsThis(QString::fromLatin1(info.prompt));
        if (info.toolTip)
            action->setToolTip(QString::fromLatin1(info.toolTip));
        action->setIcon(iconFor(info));
        action->setIconVisibleInMenu(false);
        action->setCheckable(isToggle(info.id));
        if (listOnlyKeys(info.id))
            action->setShortcutContext(Qt::WidgetShortcut); // the lists add the action (CMainFrame)
        const CommandId id = info.id;
        connect(action, &QAction::triggered, this, [this, id] { emit triggered(id); });
        // Keys work without a menu entry too (help, pane switching).
        window.addAction(action);
        m_actions.emplace(id, action);
    }
}

void FrameCommands::fillMenu(QMenu& menu, std::span<const MenuEntry> entries) const
{
    for (const MenuEntry& entry : entries) {
        if (entry.separator)
            menu.addSeparator();
        else
            menu.addAction(action(entry.id));
    }
}

void FrameCommands::createMenus(QMainWindow& window)
{
    for (const MenuInfo& info : mainMenus()) {
        QMenu* menu = window.menuBar()->addMenu(QString::fromLatin1(info.title));
        menu->setAccessibleName(QString::fromLatin1(info.title).remove(QLatin1Char('&')));
        fillMenu(*menu, info.entries);
    }
    window.menuBar()->setAccessibleName(tr("Menu bar"));
}

void FrameCommands::createToolBar(QMainWindow& window)
{
    m_toolBar = window.addToolBar(tr("Toolbar"));
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setAccessibleName(tr("Toolbar"));
    m_toolBar->setMovable(false);
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->installEventFilter(new NoStatusTips(m_toolBar));
    for (const MenuEntry& entry : toolBarSlots()) {
        if (entry.separator)
            m_toolBar->addSeparator();
        else
            m_toolBar->addAction(action(entry.id));
    }
}

QMenu* FrameCommands::createListContextMenu(QWidget* parent) const
{
    auto* menu = new QMenu(parent);
    menu->setAccessibleName(tr("Result list menu"));
    fillMenu(*menu, listContextMenu());
    return menu;
}

} // namespace vellick
