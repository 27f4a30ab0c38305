#include "windows/DeskLegend.h"

#include "desk/PCName.h"
#include "ui/Palette.h"
#include "windows/LineLabel.h"
#include "windows/ScreenRow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>
#include <numeric>

namespace helm {

namespace {

QLabel* text(const QString& s, const QFont& font, const QColor& color, QWidget* parent) {
    auto* l = new QLabel(s, parent);
    l->setFont(font);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, color);
    l->setPalette(p);
    return l;
}

} // namespace

DeskLegend::DeskLegend(DeskModel& model, bool showPairing, QWidget* parent)
    : QWidget(parent), model_(model), listLimit_(showPairing ? 250 : 300) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(18, 18, 18, 18);
    column->setSpacing(10);

    auto* title = new QHBoxLayout;
    title->addWidget(text(QStringLiteral("Screens"), uiFont(13, QFont::DemiBold), gInk, this));
    title->addStretch(1);
    identify_ = new QPushButton(QStringLiteral("Show numbers on screens"), this);
    identify_->setFont(uiFont(12, QFont::DemiBold));
    makeBorderless(identify_, gLive);
    connect(identify_, &QPushButton::clicked, this, [this] {
        if (model_.onIdentify) {
            model_.onIdentify();
        }
    });
    title->addWidget(identify_);
    column->addLayout(title);

    list_ = new QScrollArea(this);
    list_->setFrameShape(QFrame::NoFrame);
    list_->setWidgetResizable(true);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* rowsBox = new QWidget(list_);
    rowsColumn_ = new QVBoxLayout(rowsBox);
    rowsColumn_->setContentsMargins(0, 0, 0, 0);
    rowsColumn_->setSpacing(6);
    rowsColumn_->addStretch(1);
    list_->setWidget(rowsBox);
    column->addWidget(list_);

    nameRow_ = new QWidget(this);
    auto* name = new QHBoxLayout(nameRow_);
    name->setContentsMargins(0, 0, 0, 0);
    name->addWidget(text(QStringLiteral("Computer name"), uiFont(12), gMuted, nameRow_));
    field_ = new QLineEdit(nameRow_);
    field_->setPlaceholderText(QStringLiteral("Name"));
    field_->setFont(uiFont(12));
    // Only the user's edits rename: setText from the model must not echo back.
    connect(field_, &QLineEdit::textEdited, this, [this](const QString& t) { rename(t); });
    name->addWidget(field_, 1);
    column->addWidget(nameRow_);

    hint_ = text({}, uiFont(12), gMuted, this);
    hint_->setWordWrap(true);
    column->addWidget(hint_);
    column->addStretch(1);

    if (showPairing) {
        pairing_ = new QWidget(this);
        auto* pair = new QVBoxLayout(pairing_);
        pair->setContentsMargins(0, 0, 0, 0);
        pair->setSpacing(4);
        pair->addWidget(
            text(QStringLiteral("Add a PC"), uiFont(13, QFont::DemiBold), gInk, pairing_));
        QLabel* how = text(QStringLiteral("Menu › Setup guide › Connect PC shows a 6-digit code "
                                          "to type on the PC."),
                           uiFont(12), gMuted, pairing_);
        how->setWordWrap(true);
        pair->addWidget(how);
        connection_ = new LineLabel({}, uiFont(12, QFont::Medium), gWarn, pairing_);
        pair->addWidget(connection_);
        column->addWidget(pairing_);
    }

    token_ = model_.observers.add([this] { follow(); });
    follow();
}

DeskLegend::~DeskLegend() {
    model_.observers.remove(token_);
}

void DeskLegend::follow() {
    fillRows();
    const Layout& layout = model_.layout;

    std::optional<Screen> chosen;
    if (model_.selected) {
        chosen = layout.screen(*model_.selected);
    }
    nameRow_->setVisible(chosen.has_value());
    if (chosen) {
        QString name = QString::fromStdString(chosen->computerName);
        // Setting the same text again would move the cursor while the user types.
        if (field_->text() != name) {
            field_->setText(name);
        }
    }

    QString message = QString::fromStdString(model_.message);
    if (hint_->text() != message) {
        hint_->setText(message);
    }

    if (connection_) {
        QStringList names;
        for (const std::string& agent : model_.agents) {
            auto own = std::find_if(layout.screens.begin(), layout.screens.end(),
                                    [&](const Screen& s) { return s.computer == agent; });
            names << QString::fromStdString(own != layout.screens.end() ? own->computerName
                                                                        : shownPCName(agent));
        }
        const bool none = names.isEmpty();
        connection_->setText(none ? QStringLiteral("No PC connected")
                                  : QStringLiteral("Connected: ") + names.join(", "));
        connection_->setSymbol(none ? "exclamationmark.triangle.fill" : "checkmark.circle.fill");
        connection_->setColor(none ? gWarn : gLive);
    }
}

void DeskLegend::fillRows() {
    const Layout& layout = model_.layout;
    // By number; screens sharing a number keep their stored order. Rows go by position, so a
    // repeated id still gets its own row.
    std::vector<size_t> order(layout.screens.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return layout.screens[a].number < layout.screens[b].number;
    });
    while (rows_.size() > order.size()) {
        delete rows_.back();
        rows_.pop_back();
    }
    while (rows_.size() < order.size()) {
        auto* row = new ScreenRow(list_->widget());
        row->onSelect = [this](const std::string& id) {
            model_.selected = id;
            model_.changed();
        };
        row->onRelearn = [this](const std::string& id) {
            if (model_.onRelearn) {
                model_.onRelearn(id);
            }
        };
        rowsColumn_->insertWidget(static_cast<int>(rows_.size()), row);
        rows_.push_back(row);
    }
    int height = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        const Screen& s = layout.screens[order[i]];
        const bool online = s.local() || std::find(model_.agents.begin(), model_.agents.end(),
                                                   *s.computer) != model_.agents.end();
        rows_[i]->fill(s, model_.selected == s.id, online, computerColor(s, layout));
        height += rows_[i]->sizeHint().height() + (i > 0 ? rowsColumn_->spacing() : 0);
    }
    // As tall as the rows, up to the limit; past it the list scrolls.
    list_->setFixedHeight(std::min(height, listLimit_));
}

void DeskLegend::rename(const QString& text) {
    if (!model_.selected) {
        return;
    }
    std::optional<Screen> chosen = model_.layout.screen(*model_.selected);
    if (!chosen) {
        return;
    }
    const std::string name = text.toStdString();
    // Every screen of the same computer; an absent computer is this one.
    model_.edit([&](Layout& l) {
        for (Screen& s : l.screens) {
            if (s.computer == chosen->computer) {
                s.computerName = name;
            }
        }
    });
}

} // namespace helm
