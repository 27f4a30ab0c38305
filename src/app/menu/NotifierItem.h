#pragma once

#include <QByteArray>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>

#include <functional>
#include <string>

namespace helm {

// One size of the item's icon as the tray's bus carries it: ARGB32 pixels, most significant
// byte first.
struct NotifierPixmap {
    int width = 0;
    int height = 0;
    QByteArray argb;
};
using NotifierPixmaps = QList<NotifierPixmap>;

struct NotifierToolTip {
    QString iconName;
    NotifierPixmaps pixmaps;
    QString title;
    QString text;
};

QDBusArgument& operator<<(QDBusArgument& out, const NotifierPixmap& p);
const QDBusArgument& operator>>(const QDBusArgument& in, NotifierPixmap& p);
QDBusArgument& operator<<(QDBusArgument& out, const NotifierToolTip& t);
const QDBusArgument& operator>>(const QDBusArgument& in, NotifierToolTip& t);

} // namespace helm

Q_DECLARE_METATYPE(helm::NotifierPixmap)
Q_DECLARE_METATYPE(helm::NotifierToolTip)

namespace helm {

// The program's item in a StatusNotifierItem tray that came up after the program. Qt asks
// once per process, when it makes its first tray icon, whether such a tray runs, and never
// registers with one that starts later: this item does, each time the tray's watcher appears
// on the session bus. The tray asks it for the menu at a place on the desktop, where our own
// menu opens. Main thread only.
class NotifierItem : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconName READ iconName)
    Q_PROPERTY(helm::NotifierPixmaps IconPixmap READ iconPixmap)
    Q_PROPERTY(helm::NotifierToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)

public:
    static constexpr const char* watcher = "org.kde.StatusNotifierWatcher";

    NotifierItem(QDBusConnection bus, std::function<void(const std::string&)> log);
    ~NotifierItem() override;

    // Registered with a watcher that has a tray to show the item.
    bool inTray() const { return registered_ && host_; }
    // Called when inTray's answer changes.
    std::function<void()> onChange = [] {};
    // The tray asks for the menu at this place on the desktop.
    std::function<void(QPoint)> onMenu = [](QPoint) {};

    // The icon, one image per size.
    void setIcon(const QList<QImage>& sizes);
    void setToolTip(const QString& title, const QString& text);

    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const { return QStringLiteral("helmvantor"); }
    QString title() const { return QStringLiteral("Helmvantor"); }
    QString status() const { return QStringLiteral("Active"); }
    int windowId() const { return 0; }
    QString iconName() const { return {}; }
    NotifierPixmaps iconPixmap() const { return icon_; }
    NotifierToolTip toolTip() const { return toolTip_; }
    // No menu of the tray's drawing: it calls ContextMenu, and our own opens.
    bool itemIsMenu() const { return false; }

public Q_SLOTS:
    Q_SCRIPTABLE void ContextMenu(int x, int y);
    Q_SCRIPTABLE void Activate(int x, int y);

Q_SIGNALS:
    Q_SCRIPTABLE void NewIcon();
    Q_SCRIPTABLE void NewToolTip();

private Q_SLOTS:
    void hostRegistered();
    void hostUnregistered();

private:
    // Registers the item with the watcher now on the bus.
    void enroll();
    // Asks the watcher whether a tray shows its items.
    void askHost();
    void set(bool registered, bool host);

    QDBusConnection bus_;
    std::function<void(const std::string&)> log_;
    QString service_;
    NotifierPixmaps icon_;
    NotifierToolTip toolTip_;
    bool registered_ = false;
    bool host_ = false;
};

} // namespace helm
