#include "guide/ConnectPage.h"

#include "desk/PCName.h"
#include "guide/GuideBlocks.h"
#include "guide/OnboardingModel.h"
#include "guide/PrimaryButton.h"
#include "guide/QuietButton.h"
#include "ui/Fonts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace helm {

namespace {

// The pair-check box: a dark panel with a green outline.
class PairBox : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter g(this);
        g.setRenderHint(QPainter::Antialiasing);
        g.setPen(QPen(gLive, 1.5));
        g.setBrush(gPanel);
        g.drawRoundedRect(QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75), 14, 14);
    }
};

// The page's body. Its least height is what its wrapped texts take at the width it has, not
// the far taller one they would take at their narrowest, so it scrolls only when it must.
class Body : public QWidget {
public:
    using QWidget::QWidget;
    QSize minimumSizeHint() const override {
        QSize least = QWidget::minimumSizeHint();
        if (hasHeightForWidth() && width() > 0) {
            least.setHeight(std::min(least.height(), heightForWidth(width())));
        }
        return least;
    }
};

QLabel* mono(double px) {
    QLabel* l = GuideBlocks::text("", px, gLive, QFont::Bold);
    l->setFont(Fonts::mono(px, QFont::Bold));
    return l;
}

} // namespace

std::string ConnectPage::grouped(const std::string& code) {
    if (code.size() <= 3) {
        return code;
    }
    const std::size_t tail = std::min<std::size_t>(3, code.size() - 3);
    return code.substr(0, 3) + " " + code.substr(code.size() - tail);
}

std::string ConnectPage::spelled(const std::string& prefix, const std::string& code) {
    std::string out = prefix;
    // Whole UTF-8 characters: continuation bytes stay with their lead byte.
    for (std::size_t i = 0; i < code.size(); ++i) {
        const bool lead = (static_cast<unsigned char>(code[i]) & 0xC0) != 0x80;
        if (lead && i > 0) {
            out += ' ';
        }
        out += code[i];
    }
    return out;
}

ConnectPage::ConnectPage(OnboardingModel& model, QWidget* parent) : GuidePage(model, parent) {
    // With the check-code box shown the page packs closer (see sync) to fit the guide's page
    // area; a box made taller by long names still scrolls rather than squeezing the codes and
    // buttons below their size.
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QWidget* body = new Body(scroll);
    scroll->setWidget(body);
    for (QWidget* w : {static_cast<QWidget*>(scroll->viewport()), body}) {
        w->setAutoFillBackground(false); // the guide's ground shows through
    }
    outer->addWidget(scroll);
    auto* v = stack_ = new QVBoxLayout(body);
    v->addWidget(new TitleBlock("Connect your PC",
                                "Helmvantor finds your PC on the same network and encrypts "
                                "everything between them. No account, no extra app."));

    pairBox_ = new PairBox();
    pairBox_->setMaximumWidth(820);
    auto* box = new QHBoxLayout(pairBox_);
    box->setContentsMargins(20, 20, 20, 20);
    box->setSpacing(24);
    auto* question = new QVBoxLayout();
    question->setSpacing(6);
    pairQuestion_ = GuideBlocks::text("", 18, gInk, QFont::DemiBold, true);
    question->addWidget(pairQuestion_);
    question->addWidget(GuideBlocks::text("If it shows a different code, someone may be "
                                          "listening in. Choose No and pair again.",
                                          13, gMuted, QFont::Normal, true));
    box->addLayout(question, 1);
    pairCode_ = mono(44);
    box->addWidget(pairCode_);
    auto* answers = new QVBoxLayout();
    answers->setSpacing(8);
    auto* yes = new PrimaryButton("It matches");
    auto* no = new QuietButton("No");
    connect(yes, &QAbstractButton::clicked, this, [this] { this->model.onPairAnswer(true); });
    connect(no, &QAbstractButton::clicked, this, [this] { this->model.onPairAnswer(false); });
    answers->addWidget(yes, 0, Qt::AlignHCenter);
    answers->addWidget(no, 0, Qt::AlignHCenter);
    box->addLayout(answers);
    v->addWidget(pairBox_);

    auto* cards = new QHBoxLayout();
    cards->setSpacing(16);
    auto* how = new Card();
    how->content()->addWidget(GuideBlocks::text("On the PC", 13, gMuted, QFont::DemiBold));
    how->content()->addWidget(GuideBlocks::numbered(1, "Open Helmvantor for Windows."));
    pickStep_ = GuideBlocks::numbered(2, "");
    pickText_ = pickStep_->findChild<QLabel*>();
    how->content()->addWidget(pickStep_);
    how->content()->addWidget(GuideBlocks::numbered(3, "Type this code:"));
    code_ = mono(46);
    code_->setContentsMargins(36, 0, 0, 0);
    how->content()->addWidget(code_);
    auto* fresh = new QuietButton("New code");
    connect(fresh, &QAbstractButton::clicked, this, [this] { this->model.onNewCode(); });
    auto* freshRow = new QHBoxLayout();
    freshRow->setContentsMargins(36, 0, 0, 0);
    freshRow->addWidget(fresh);
    freshRow->addStretch(1);
    how->content()->addLayout(freshRow);
    cards->addWidget(how, 1, Qt::AlignTop);

    auto* status = new Card();
    status->setFixedWidth(380);
    status->content()->addWidget(GuideBlocks::text("Status", 13, gMuted, QFont::DemiBold));
    network_ = new CheckLine(false, "", "This computer isn't on a network");
    pcs_ = new CheckLine(false, "", "Waiting for your PC…");
    status->content()->addWidget(network_);
    status->content()->addWidget(pcs_);
    pairNote_ = GuideBlocks::text("", 13, gWarn, QFont::DemiBold, true);
    status->content()->addWidget(pairNote_);
    howTo_ = GuideBlocks::text("", 12, gMuted, QFont::Normal, true);
    status->content()->addWidget(howTo_);
    cards->addWidget(status, 0, Qt::AlignTop);
    v->addLayout(cards);
    v->addStretch(1);
    sync();
}

void ConnectPage::sync() {
    const auto& check = model.pairCheck();
    pairBox_->setVisible(check.has_value());
    if (check) {
        GuideBlocks::setText(pairQuestion_, "Does " + check->pc + " show this check code?");
        GuideBlocks::setText(pairCode_, check->code);
        pairCode_->setAccessibleName(QString::fromStdString(spelled("Check code ", check->code)));
    }
    const std::string pick = "Pick “" + model.macName() + "” in its list.";
    GuideBlocks::setText(pickText_, pick);
    pickStep_->setAccessibleName(QString::fromStdString(pick));
    GuideBlocks::setText(code_, grouped(model.code()));
    code_->setAccessibleName(QString::fromStdString(spelled("Code ", model.code())));

    // The check-code box takes the room of the page's outer margins and part of its spacing.
    const int edge = check ? 24 : 40;
    stack_->setContentsMargins(40, edge, 40, edge);
    stack_->setSpacing(check ? 16 : 24);

    const auto& lan = model.networkIP();
    std::string ready = "This computer is ready on your network";
    if (lan) {
        ready += " (" + *lan + ")";
    }
    network_->set(lan.has_value() || model.tailscaleIP().has_value(), ready,
                  "This computer isn't on a network");
    std::string names;
    for (const std::string& name : model.agents()) {
        names += (names.empty() ? "" : ", ") + shownPCName(name);
    }
    pcs_->set(!model.agents().empty(), "Connected: " + names, "Waiting for your PC…");
    pairNote_->setVisible(model.pairNote().has_value());
    GuideBlocks::setText(pairNote_, model.pairNote().value_or(""));
    GuideBlocks::setText(howTo_, howTo(lan, model.tailscaleIP()));
}

std::string ConnectPage::howTo(const std::optional<std::string>& lan,
                               const std::optional<std::string>& tailscale) {
    // Only an address the page shows, or names, can be typed on the PC.
    std::string text;
    if (lan) {
        text = "If the PC doesn't list this computer, type the address above into its address "
               "box. ";
    } else if (tailscale) {
        text = "If the PC doesn't list this computer, type its Tailscale address, " + *tailscale +
               ", into its address box. ";
    }
    return text + "The code works once; after five wrong tries press New code.";
}

bool ConnectPage::enter() {
    if (!model.pairCheck()) {
        return false;
    }
    model.onPairAnswer(true);
    return true;
}

} // namespace helm
