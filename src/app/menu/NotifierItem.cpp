#include "app/menu/NotifierItem.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>

namespace helm {

namespace {

constexpr const char* watcherPath = "/StatusNotifierWatcher";
constexpr const char* itemPath = "/StatusNotifierItem";

} // namespace

QDBusArgument& operator<<(QDBusArgument& out, const NotifierPixmap& p) {
    out.beginStructure();
    out << p.width << p.height << p.argb;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, NotifierPixmap& p) {
    in.beginStructure();
    in >> p.width >> p.height >> p.argb;
    in.endStructure();
    return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const NotifierToolTip& t) {
    out.beginStructure();
    out << t.iconName << t.pixmaps << t.title << t.text;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, NotifierToolTip& t) {
    in.beginStructure();
    in >> t.iconName >> t.pixmaps >> t.title >> t.text;
    in.endStructure();
    return in;
}

NotifierItem::NotifierItem(QDBusConnection bus, std::function<void(const std::string&)> log)
    : bus_(std::move(bus)), log_(std::move(log)) {
    if (!log_) {
        log_ = [](const std::string&) {};
    }
    qDBusRegisterMetaType<NotifierPixmap>();
    qDBusRegisterMetaType<NotifierPixmaps>();
    qDBusRegisterMetaType<NotifierToolTip>();
    if (!bus_.isConnected()) {
        return; // no session bus, so no tray of this kind either
    }
    // The name trays know an item by; the process makes one item.
    service_ =
        QStringLiteral("org.kde.StatusNotifierItem-%1-1").arg(QCoreApplication::applicationPid());
    if (!bus_.registerObject(itemPath, this,
                             QDBusConnection::ExportScriptableSlots |
                                 QDBusConnection::ExportScriptableSignals |
                                 QDBusConnection::ExportAllProperties) ||
        !bus_.registerService(service_)) {
        log_("tray: no StatusNotifierItem on the session bus: " +
             bus_.lastError().message().toStdString());
        service_.clear();
        return;
    }
    // Watched before asking, so a watcher that comes in between is not missed.
    // A watcher handing its name to another (a tray replaced) is neither a coming nor a going.
    auto* watch =
        new QDBusServiceWatcher(watcher, bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watch, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& owner) {
                if (owner.isEmpty()) {
                    set(false, false);
                } else {
                    enroll();
                }
            });
    bus_.connect(watcher, watcherPath, watcher, "StatusNotifierHostRegistered", this,
                 SLOT(hostRegistered()));
    bus_.connect(watcher, watcherPath, watcher, "StatusNotifierHostUnregistered", this,
                 SLOT(hostUnregistered()));
    if (QDBusConnectionInterface* daemon = bus_.interface();
        daemon != nullptr && daemon->isServiceRegistered(watcher).value()) {
        enroll();
    }
}

NotifierItem::~NotifierItem() {
    if (!service_.isEmpty()) {
        bus_.unregisterService(service_);
        bus_.unregisterObject(itemPath);
    }
}

void NotifierItem::enroll() {
    QDBusMessage call =
        QDBusMessage::createMethodCall(watcher, watcherPath, watcher, "RegisterStatusNotifierItem");
    call << service_;
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        if (w->isError()) {
            log_("tray: the StatusNotifierItem watcher did not take the item: " +
                 w->error().message().toStdString());
            set(false, false);
            return;
        }
        registered_ = true;
        askHost();
    });
}

void NotifierItem::askHost() {
    QDBusMessage get = QDBusMessage::createMethodCall(watcher, watcherPath,
                                                      "org.freedesktop.DBus.Properties", "Get");
    get << QString(watcher) << QStringLiteral("IsStatusNotifierHostRegistered");
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(get), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *w;
        // A watcher that cannot say shows nothing, as Qt takes it too.
        set(registered_, !reply.isError() && reply.value().variant().toBool());
    });
}

void NotifierItem::hostRegistered() {
    set(registered_, true);
}

void NotifierItem::hostUnregistered() {
    askHost(); // another tray may still show the items
}

void NotifierItem::set(bool registered, bool host) {
    const bool was = inTray();
    registered_ = registered;
    host_ = host;
    if (inTray() != was) {
        onChange();
    }
}

void NotifierItem::setIcon(const QList<QImage>& sizes) {
    icon_.clear();
    for (const QImage& size : sizes) {
        const QImage image = size.convertToFormat(QImage::Format_ARGB32);
        NotifierPixmap p{
            image.width(), image.height(),
            QByteArray(static_cast<qsizetype>(image.width()) * image.height() * 4, '\0')};
        char* out = p.argb.data();
        for (int y = 0; y < image.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                for (int part : {qAlpha(line[x]), qRed(line[x]), qGreen(line[x]), qBlue(line[x])}) {
                    *out++ = static_cast<char>(part);
                }
            }
        }
        icon_.append(p);
    }
    emit NewIcon();
}

void NotifierItem::setToolTip(const QString& title, const QString& text) {
    if (toolTip_.title != title || toolTip_.text != text) {
        toolTip_.title = title;
        toolTip_.text = text;
        emit NewToolTip();
    }
}

void NotifierItem::ContextMenu(int x, int y) {
    // Some trays give no place; the pointer is where the user clicked.
    onMenu(x == 0 && y == 0 ? QCursor::pos() : QPoint(x, y));
}

void NotifierItem::Activate(int x, int y) {
    ContextMenu(x, y); // a left click opens the menu too, as on the other tray
}

} // namespace helm
