#include "guide/LookPage.h"

#include "desk/DeskModel.h"
#include "guide/GuideBlocks.h"
#include "guide/OnboardingModel.h"
#include "guide/PrimaryButton.h"
#include "guide/QuietButton.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"
#include "ui/Symbols.h"
#include "windows/MapFrame.h"
#include "windows/MapSwitcher.h"
#include "windows/SettingsKit.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace helm {

namespace {

// The screen's number on its computer's colour.
class NumberBadge : public QWidget {
public:
    NumberBadge(int n, QColor colour) : n_(n), colour_(colour) { setFixedSize(24, 24); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter g(this);
        g.setRenderHint(QPainter::Antialiasing);
        g.setPen(Qt::NoPen);
        g.setBrush(colour_);
        g.drawRoundedRect(QRectF(rect()), 6, 6);
        g.setPen(gGround);
        g.setFont(Fonts::font(13, QFont::Bold, this));
        g.drawText(rect(), Qt::AlignCenter, QString::number(n_));
    }

private:
    int n_;
    QColor colour_;
};

// The portrait toggle: the screen's shape on a grey tile.
class ShapeToggle : public QAbstractButton {
public:
    explicit ShapeToggle(bool portrait) : portrait_(portrait) {
        setFixedSize(30, 26);
        setFocusPolicy(Qt::NoFocus);
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter g(this);
        g.setRenderHint(QPainter::Antialiasing);
        g.setPen(Qt::NoPen);
        g.setBrush(gLine);
        g.drawRoundedRect(QRectF(rect()), 6, 6);
        g.translate(width() / 2.0, height() / 2.0);
        g.fillPath(Symbols::path(portrait_ ? "rectangle.portrait" : "rectangle", 15),
                   isEnabled() ? gInk : gMuted);
    }

private:
    bool portrait_;
};

// The card takes its lines at the height they hint, which for a wrapped text is too few lines
// at the card's width: the line asks for the height its text takes at the width it got.
class FitHeight : public QObject {
public:
    using QObject::QObject;
    static void fit(QLabel* l) { GuideBlocks::fitHeight(l, l->width()); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            fit(static_cast<QLabel*>(watched));
        }
        return false;
    }
};

} // namespace

std::vector<Screen> LookPage::sorted(std::vector<Screen> screens) {
    std::stable_sort(screens.begin(), screens.end(),
                     [](const Screen& a, const Screen& b) { return a.number < b.number; });
    return screens;
}

std::string LookPage::explanation(std::size_t n) {
    return "Every screen goes dark except a green dot. Look at it and hold still while its ring "
           "fills. About " +
           std::to_string(4 * n + 6) +
           " seconds. Mark tall monitors as portrait first: they get extra points.";
}

LookPage::LookPage(OnboardingModel& model, DeskModel& desk, Defaults& defaults, QWidget* parent)
    : GuidePage(model, parent), desk_(desk), defaults_(defaults) {
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(40, 28, 40, 0);
    v->setSpacing(20);
    title_ = new TitleBlock("", "");
    v->addWidget(title_);

    auto* content = new QHBoxLayout();
    content->setSpacing(16);
    auto* left = new QVBoxLayout();
    left->setSpacing(10);
    auto* ground = new MapFrame(gGround);
    ground->setFixedSize(540, 300);
    mapBox_ = ground->content();
    left->addWidget(ground);
    progress_ = new QProgressBar();
    progress_->setRange(0, 1000);
    progress_->setTextVisible(false);
    progress_->setFixedSize(540, 6);
    progress_->setAccessibleName("Setup progress");
    progress_->setStyleSheet(QString("QProgressBar { background: %1; border: none; "
                                     "border-radius: 3px; } QProgressBar::chunk { background: "
                                     "%2; border-radius: 3px; }")
                                 .arg(gLine.name(), gLive.name()));
    left->addWidget(progress_);
    left->addStretch(1);
    content->addLayout(left);

    auto* card = new Card();
    count_ = GuideBlocks::text("", 13, gMuted, QFont::DemiBold);
    card->content()->addWidget(count_);
    rows_ = new QVBoxLayout();
    rows_->setSpacing(12);
    card->content()->addLayout(rows_);

    auto* buttons = new QHBoxLayout();
    buttons->setSpacing(8);
    start_ = new PrimaryButton("Start");
    precise_ = new QuietButton("Precise calibration");
    precise_->setToolTip("Nine points per screen, held a little longer, then an accuracy check. "
                         "About a minute. For when switching isn't reliable.");
    stop_ = new QuietButton("Stop");
    connect(start_, &QAbstractButton::clicked, this, [this] { this->model.onStartLook(); });
    connect(precise_, &QAbstractButton::clicked, this, [this] { this->model.onStartPrecise(); });
    connect(stop_, &QAbstractButton::clicked, this, [this] { this->model.onStopLook(); });
    buttons->addWidget(start_);
    buttons->addWidget(precise_);
    buttons->addWidget(stop_);
    buttons->addStretch(1);
    card->content()->addLayout(buttons);
    sound_ = new QuietButton("Sound on");
    connect(sound_, &QAbstractButton::clicked, this,
            [this] { this->model.setMuted(!this->model.muted()); });
    card->content()->addWidget(sound_);

    result_ = new QWidget();
    auto* resultLine = new QHBoxLayout(result_);
    resultLine->setContentsMargins(0, 0, 0, 0);
    resultLine->setSpacing(6);
    resultLine->addWidget(new SymbolIcon("scope", 13, gLive, 18), 0, Qt::AlignTop);
    resultText_ = GuideBlocks::text("", 13, gLive, QFont::DemiBold, true);
    resultLine->addWidget(resultText_, 1);
    card->content()->addWidget(result_);

    problem_ = new QWidget();
    auto* problemLine = new QHBoxLayout(problem_);
    problemLine->setContentsMargins(0, 0, 0, 0);
    problemLine->setSpacing(6);
    problemLine->addWidget(new SymbolIcon("exclamationmark.triangle.fill", 13, gWarn, 18), 0,
                           Qt::AlignTop);
    problemText_ = GuideBlocks::text("", 13, gWarn, QFont::DemiBold, true);
    problemText_->installEventFilter(new FitHeight(problemText_));
    problemLine->addWidget(problemText_, 1);
    card->content()->addWidget(problem_);

    auto* identify = new QPushButton("Show the numbers on my screens");
    identify->setFlat(true);
    identify->setFocusPolicy(Qt::NoFocus);
    identify->setCursor(Qt::PointingHandCursor);
    identify->setFont(Fonts::font(12, QFont::DemiBold));
    identify->setAccessibleName(identify->text());
    identify->setStyleSheet(
        QString("QPushButton { color: %1; border: none; text-align: left; padding: 0; }")
            .arg(gLive.name()));
    connect(identify, &QAbstractButton::clicked, this, [this] { this->model.onIdentify(); });
    card->content()->addWidget(identify);
    content->addWidget(card, 1, Qt::AlignTop);
    v->addLayout(content);
    v->addStretch(1);
    sync();
}

void LookPage::sync() {
    const std::vector<Screen> screens = sorted(model.screens());
    const bool calibrating = model.calibrating();
    const auto learned =
        std::count_if(screens.begin(), screens.end(), [](const Screen& s) { return s.learned; });
    if (calibrating) {
        title_->set(model.instruction().value_or("Listen…"),
                    "Turn your head to the green dot and hold still until you hear the chime.");
    } else {
        title_->set(model.stepDone() ? "Every screen is calibrated."
                                     : "Calibrate: look where the dot is.",
                    explanation(screens.size()));
    }
    syncMap();
    progress_->setValue(static_cast<int>(std::clamp(model.progress(), 0.0, 1.0) * 1000));
    GuideBlocks::setText(count_, std::to_string(learned) + " of " + std::to_string(screens.size()) +
                                     " screens calibrated");
    syncRows(screens);

    start_->setVisible(!calibrating);
    precise_->setVisible(!calibrating);
    stop_->setVisible(calibrating);
    const QString start = learned > 0 ? "Start again" : "Start";
    if (start_->text() != start) {
        start_->setText(start);
        start_->setAccessibleName(start);
        start_->updateGeometry();
    }
    sound_->setLabel(model.muted() ? "Sound off" : "Sound on");
    sound_->setSymbol(model.muted() ? "speaker.slash" : "speaker.wave.2");
    result_->setVisible(model.checkResult().has_value());
    GuideBlocks::setText(resultText_, model.checkResult().value_or(""));
    problem_->setVisible(!calibrating && model.runProblem().has_value());
    GuideBlocks::setText(problemText_, model.runProblem().value_or(""));
    FitHeight::fit(problemText_);
}

// The map is made with its target; a new target makes a new map.
void LookPage::syncMap() {
    std::optional<std::string> target;
    if (model.calibrating()) {
        target = model.targetID();
    }
    if (map_ != nullptr && mapTarget_ == target) {
        return;
    }
    mapTarget_ = target;
    delete map_;
    auto* map = new MapSwitcher(desk_, defaults_, false, target);
    for (QAbstractButton* b : map->findChildren<QAbstractButton*>()) {
        b->setFocusPolicy(Qt::NoFocus);
    }
    map_ = map;
    mapBox_->addWidget(map_);
}

// Rows are made again only when what they show changes, so a refresh keeps hover and press.
void LookPage::syncRows(const std::vector<Screen>& screens) {
    const bool calibrating = model.calibrating();
    const Layout& layout = desk_.layout;
    std::string shown;
    for (const Screen& s : screens) {
        shown += s.id + '\n' + std::to_string(s.number) + '\n' + s.computerName + '\n' + s.name +
                 '\n' + (s.learned ? "L" : "-") + (s.isPortrait() ? "P" : "-") +
                 computerColor(s, layout).name().toStdString() + '\n';
    }
    if (shown == rowsShown_) {
        for (QAbstractButton* b : toggles_) {
            b->setEnabled(!calibrating);
        }
        return;
    }
    rowsShown_ = shown;
    toggles_.clear();
    while (QLayoutItem* item = rows_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const Screen& s : screens) {
        auto* row = new QWidget();
        row->setObjectName(QString::fromStdString(s.id));
        auto* h = new QHBoxLayout(row);
        h->setContentsMargins(0, 0, 0, 0);
        h->setSpacing(10);
        h->addWidget(new NumberBadge(s.number, computerColor(s, layout)));
        auto* names = new QVBoxLayout();
        names->setSpacing(0);
        names->addWidget(GuideBlocks::text(s.computerName, 13, gInk, QFont::DemiBold));
        names->addWidget(GuideBlocks::text(s.name, 11, gMuted));
        h->addLayout(names, 1);
        if (s.learned) {
            auto* mark = new SymbolIcon("checkmark.circle.fill", 15, gLive, 18);
            mark->setFixedHeight(18);
            mark->setAccessibleName("learned");
            h->addWidget(mark);
        }
        const bool portrait = s.isPortrait();
        auto* toggle = new ShapeToggle(portrait);
        toggle->setToolTip(portrait ? "Portrait (tall). Click for landscape."
                                    : "Landscape (wide). Click for portrait.");
        toggle->setAccessibleName(QString("Screen %1 is %2. Switch")
                                      .arg(s.number)
                                      .arg(portrait ? "portrait" : "landscape"));
        toggle->setEnabled(!calibrating);
        connect(toggle, &QAbstractButton::clicked, this,
                [this, id = s.id, portrait] { model.onPortrait(id, !portrait); });
        h->addWidget(toggle);
        toggles_.push_back(toggle);
        rows_->addWidget(row);
    }
}

bool LookPage::space() {
    if (model.calibrating()) {
        return false;
    }
    model.onStartLook();
    return true;
}

} // namespace helm
