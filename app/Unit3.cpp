#include "app/Unit3.h"

#include "app/AnnouncePage.h"
#include "app/AutoStart.h"
#include "app/DesktopOpener.h"
#include "app/Messages.h"
#include "app/NotifyIcon.h"
#include "app/QtText.h"
#include "app/WaitCursorFetcher.h"
#include "app/WebEngineSetup.h"
#include "watch/GbkText.h"
#include "watch/MarkerText.h"
#include "watch/BoardTextException.h"
#include "watch/SearchRun.h"
#include "watch/WatchChoices.h"
#include "watch/WatchSettings.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWebEngineView>
#include <optional>

namespace {

constexpr char kCaption[] = "Quorvel v1.0 - Pellisand";
constexpr int kClientWidth = 1223;
constexpr int kClientHeight = 687;
// The scraper writes each row it keeps as four lines: company, title, link, separator.
constexpr int kLinesPerRow = 4;

const char* const kBuiltInRecommendation =
    "嘿，我发现了一个超酷的软件，想进入日思夜想的好公司吗？就靠它了！Quorvel，你搜索下找找。";
const char* const kRecommendationCopied =
    "推荐信息已经复制到剪贴板了，您可以把信息粘贴给QQ、MSN和微博好友等，感谢您的推荐！^0^";

// One keyword pair's row of labels and fields in the search group.
struct TPairRow {
    int companyTop;
    int positionTop;
    int labelWidth;
};
constexpr std::array<TPairRow, watch::IWatchPanel::PairCount> kPairRows = {{
    {45, 71, 91},
    {96, 121, 98},
    {147, 173, 98},
    {199, 225, 98},
    {251, 278, 98},
}};

// The pair's control name: editComName, editComName2, ... editComName5.
QString PairName(const char* base, int pair) {
    QString name = QString::fromLatin1(base);
    return pair == 1 ? name : name + QString::number(pair);
}

template <typename Control>
Control* Place(QWidget* container, const QString& name, const QRect& geometry) {
    auto* control = new Control(container);
    control->setObjectName(name);
    control->setGeometry(geometry);
    return control;
}

// Labels are two points larger than the rest of the window.  A label grows from its place
// in the layout to the size of its text, so that neither descenders nor an underline are
// cut off.
QLabel* PlaceLabel(QWidget* container, const QString& name, const QRect& geometry,
                   const QString& text) {
    auto* label = Place<QLabel>(container, name, geometry);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont labelFont = label->font();
    labelFont.setPointSize(10);
    label->setFont(labelFont);
    label->setText(text);
    label->resize(label->size().expandedTo(label->sizeHint()));
    return label;
}

QLabel* PlaceLabel(QWidget* container, const char* name, const QRect& geometry,
                   const QString& text) {
    return PlaceLabel(container, QString::fromLatin1(name), geometry, text);
}

QPushButton* PlaceButton(QWidget* container, const char* name, const QRect& geometry,
                         const char* utf8Text) {
    auto* button = Place<QPushButton>(container, QString::fromLatin1(name), geometry);
    button->setText(QString::fromUtf8(utf8Text));
    return button;
}

QComboBox* PlaceCombo(QWidget* container, const char* name, const QRect& geometry) {
    auto* combo = Place<QComboBox>(container, QString::fromLatin1(name), geometry);
    combo->setEditable(true);
    return combo;
}

void PaintBlue(QLabel* label) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    label->setPalette(palette);
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128})
        icon.addFile(QStringLiteral(":/icons/tallowfinch-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

TfrmVantaro::TfrmVantaro(TWindowSetup setup, std::unique_ptr<watch::IPageFetcher> httpFindJob)
    : setup_(std::move(setup)), httpFindJob_(std::move(httpFindJob)),
      pageFetcher_(std::make_unique<TWaitCursorFetcher>(*httpFindJob_)) {
    setObjectName(QStringLiteral("frmVantaro"));
    setWindowTitle(QString::fromLatin1(kCaption));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientWidth, kClientHeight);
    QIcon icon = ProgramIcon();
    setWindowIcon(icon);

    CreateControls();
    BindWatchPanel();
    notifyIcon_ = std::make_unique<TNotifyIcon>(this, icon, setup_.TrayAvailable);
    boardSetting_ = watch::LoadBoardSetting(setup_.SettingsFile.string());
    searchRun_ = std::make_unique<watch::TSearchRun>(*this, *pageFetcher_, BoardOfSetting());
    ConnectHandlers();
    PlaceInScreenCentre();
    FormCreate();
}

TfrmVantaro::~TfrmVantaro() {
    FormDestroy();
}

void TfrmVantaro::CreateControls() {
    QFont windowFont = font();
    windowFont.setPointSize(8);
    setFont(windowFont);

    memoResult_ = Place<QPlainTextEdit>(this, QStringLiteral("memoResult"), {672, 8, 545, 449});
    memoResult_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memoResult_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoResult_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoResult_->setTabChangesFocus(true);

    CreateAutoStartGroup();
    CreateSearchGroup();

    PlaceLabel(this, "lblFilter", {672, 464, 39, 13}, QString::fromUtf8("过滤器"));
    memoFilter_ = Place<QPlainTextEdit>(this, QStringLiteral("memoFilter"), {672, 480, 545, 201});
    memoFilter_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memoFilter_->setTabChangesFocus(true);

    CreateAnnouncePane();

    timerFindJob_ = new QTimer(this);
    timerFindJob_->setObjectName(QStringLiteral("timerFindJob"));
}

void TfrmVantaro::CreateAutoStartGroup() {
    auto* groupAutoStart =
        Place<QGroupBox>(this, QStringLiteral("groupAutoStart"), {8, 8, 657, 49});
    groupAutoStart->setTitle(QString::fromUtf8("开机自动运行"));
    PlaceLabel(groupAutoStart, "lblAutoStart", {7, 21, 320, 13},
               QString::fromUtf8("设为开机自动运行前，请您先看下操作手册中的说明^o^"));
    btnAutoStart_ =
        PlaceButton(groupAutoStart, "btnAutoStart", {335, 16, 145, 25}, "设为开机自动运行");
}

// Labels first; then the controls that take the focus, in their tab order, since the
// order of creation is the order of the focus chain.
void TfrmVantaro::CreateSearchGroup() {
    groupSet_ = Place<QGroupBox>(this, QStringLiteral("groupSet"), {8, 63, 657, 394});
    groupSet_->setTitle(QString::fromUtf8("搜索设置"));
    CreateSearchLabels();

    btnGo_ = PlaceButton(groupSet_, "btnGo", {298, 303, 127, 25}, "开始定时搜索");
    comboSearchTime_ = PlaceCombo(groupSet_, "comboSearchTime", {120, 303, 161, 21});
    comboCity_ = PlaceCombo(groupSet_, "comboCity", {120, 18, 161, 21});
    for (int pair = 1; pair <= PairCount; ++pair) {
        const TPairRow& row = kPairRows[pair - 1];
        editComName_[pair - 1] = Place<QLineEdit>(groupSet_, PairName("editComName", pair),
                                                  {120, row.companyTop, 409, 21});
        editPosition_[pair - 1] = Place<QLineEdit>(groupSet_, PairName("editPosition", pair),
                                                   {120, row.positionTop, 409, 21});
        if (pair == 1)
            comboPubDate_ = PlaceCombo(groupSet_, "comboPubDate", {360, 18, 169, 21});
    }
    btnRightNow_ = PlaceButton(groupSet_, "btnRightNow", {100, 328, 101, 25}, "马上开始搜索");
    btnSave_ = PlaceButton(groupSet_, "btnSave", {16, 328, 75, 25}, "保存设置");
    btnStopGo_ = PlaceButton(groupSet_, "btnStopGo", {432, 303, 113, 25}, "停止定时搜索");
    btnStopGo_->setEnabled(false);
}

void TfrmVantaro::CreateSearchLabels() {
    PlaceLabel(groupSet_, "lblCity", {16, 18, 65, 13}, QString::fromUtf8("所在城市："));
    PlaceLabel(groupSet_, "lblPubDate", {296, 18, 65, 13}, QString::fromUtf8("发布日期："));
    for (int pair = 1; pair <= PairCount; ++pair) {
        const TPairRow& row = kPairRows[pair - 1];
        QString number = pair == 1 ? QString() : QString::number(pair);
        PlaceLabel(groupSet_, PairName("lblComName", pair),
                   {16, row.companyTop, row.labelWidth, 13},
                   QString::fromUtf8("公司名关键字%1：").arg(number));
        PlaceLabel(groupSet_, PairName("lblPosition", pair),
                   {16, row.positionTop, row.labelWidth, 13},
                   QString::fromUtf8("职位名关键字%1：").arg(number));
    }
    PlaceLabel(groupSet_, "lblSearchTime", {16, 303, 65, 13}, QString::fromUtf8("搜索定时："));

    lblSEM_ = PlaceLabel(groupSet_, "lblSEM", {16, 358, 490, 13},
                         QString::fromUtf8("如果觉得好请点击这里把本软件介绍给您QQ、MSN、"
                                           "微博上的好友，作者非常感谢！！"));
    PaintBlue(lblSEM_);
    QFont underlined = lblSEM_->font();
    underlined.setUnderline(true);
    lblSEM_->setFont(underlined);
    lblSEM_->setCursor(Qt::PointingHandCursor);
    lblSEM_->installEventFilter(this);

    PaintBlue(PlaceLabel(groupSet_, "lblContact", {16, 377, 542, 13},
                         QString::fromUtf8("联系作者：quorvel@example.org  "
                                           "欢迎来信提出您的意见和建议，我们会尽快回复。")));
}

// Where the web engine may not run, the pane stays an empty area of the window.
void TfrmVantaro::CreateAnnouncePane() {
    const QRect geometry(8, 464, 657, 217);
    if (!WebEngineMayRun()) {
        auto* emptyPane = Place<QWidget>(this, QStringLiteral("WebBrowser1"), geometry);
        emptyPane->setFocusPolicy(Qt::StrongFocus);
        return;
    }
    WebBrowser1_ = Place<QWebEngineView>(this, QStringLiteral("WebBrowser1"), geometry);
    // The page belongs to the pane.
    auto* page = new TAnnouncePage(
        [this](const QString& url, bool byUserClick) {
            bool cancel = false;
            WebBrowser1BeforeNavigate2(ToGbk(url), byUserClick, cancel);
            return cancel;
        },
        [this](const QString& html) { WebBrowser1DocumentComplete(ToGbk(html)); }, WebBrowser1_);
    WebBrowser1_->setPage(page);
}

void TfrmVantaro::BindWatchPanel() {
    for (int i = 0; i < PairCount; ++i) {
        editComNameFields_[i] = std::make_unique<TQtTextField>(editComName_[i]);
        editPositionFields_[i] = std::make_unique<TQtTextField>(editPosition_[i]);
    }
    comboSearchTimeSelector_ =
        std::make_unique<TQtSelector>(comboSearchTime_, watch::SearchTimeItems());
    comboCitySelector_ = std::make_unique<TQtSelector>(comboCity_, watch::CityItems());
    comboPubDateSelector_ = std::make_unique<TQtSelector>(comboPubDate_, watch::PubDateItems());
    memoResultLines_ = std::make_unique<TQtLineList>(memoResult_);
    memoFilterLines_ = std::make_unique<TQtLineList>(memoFilter_);
    btnGoFlag_ = std::make_unique<TQtEnabledFlag>(btnGo_);
    btnStopGoFlag_ = std::make_unique<TQtEnabledFlag>(btnStopGo_);
    timerFindJobTimer_ = std::make_unique<TQtTimer>(timerFindJob_);
}

void TfrmVantaro::ConnectHandlers() {
    auto connectClick = [this](QPushButton* button, std::function<void()> handler) {
        connect(button, &QPushButton::clicked, this, [this, handler] { Guarded(handler); });
    };
    connectClick(btnAutoStart_, [this] { btnAutoStartClick(); });
    connectClick(btnGo_, [this] { searchRun_->btnGoClick(); });
    connectClick(btnStopGo_, [this] { searchRun_->btnStopGoClick(); });
    connectClick(btnSave_, [this] { btnSaveClick(); });
    connectClick(btnRightNow_, [this] { searchRun_->btnRightNowClick(); });
    connect(timerFindJob_, &QTimer::timeout, this, [this] { Guarded([this] { PollTick(); }); });
}

void TfrmVantaro::PlaceInScreenCentre() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area = screen->availableGeometry();
        move(area.center() - QPoint(kClientWidth / 2, kClientHeight / 2));
    }
}

// Rows that a handler added are shown when it ends, even by an error.
void TfrmVantaro::Guarded(const std::function<void()>& handler) {
    RunGuarded(this, [&] {
        struct TShowRows {
            const TQtLineList& rows;
            ~TShowRows() { rows.Flush(); }
        } showRows{*memoResultLines_};
        handler();
    });
}

void TfrmVantaro::FormCreate() {
    Guarded([this] {
        if (WebBrowser1_)
            WebBrowser1_->load(setup_.AnnounceUrl);
        watch::LoadSettings(*this, setup_.SettingsFile.string());
        if (!boardRefusal_.empty())
            ShowMessage(boardRefusal_);
    });
}

// The board of the settings file. A text that names no board leaves the classic board of
// the build in its place, and the user is told at start.
watch::TBoardAddress TfrmVantaro::BoardOfSetting() {
    try {
        return watch::TBoardAddress::Parse(boardSetting_, QUORVEL_BOARD_HOST);
    } catch (const watch::EBoardTextException& refused) {
        boardRefusal_ = refused.what();
    }
    return watch::TBoardAddress::Parse("", QUORVEL_BOARD_HOST);
}

void TfrmVantaro::FormDestroy() {
    notifyIcon_->Remove();
}

watch::ITextField& TfrmVantaro::editComName(int pair) {
    return *editComNameFields_.at(static_cast<size_t>(pair - 1));
}

watch::ITextField& TfrmVantaro::editPosition(int pair) {
    return *editPositionFields_.at(static_cast<size_t>(pair - 1));
}

void TfrmVantaro::HideToTray() {
    notifyIcon_->HideToTray();
}

// Only a poll that finds something restores the window during a tick; the user learns of
// the finds beside the icon too.
void TfrmVantaro::RestoreFromTray() {
    if (!pollTickRunning_) {
        notifyIcon_->RestoreFromTray();
        return;
    }
    int rows = memoResultLines_->Count() / kLinesPerRow;
    notifyIcon_->RestoreWithMessage(QString::fromLatin1(kApplicationTitle),
                                    QString::fromUtf8("找到 %1 个职位").arg(rows));
}

void TfrmVantaro::PollTick() {
    pollTickRunning_ = true;
    struct TTickEnd {
        bool& running;
        ~TTickEnd() { running = false; }
    } tickEnd{pollTickRunning_};
    searchRun_->timerFindJobTimer();
}

// The rows found so far are on show while the message is.
void TfrmVantaro::ShowMessage(const std::string& text) {
    memoResultLines_->Flush();
    ::ShowMessage(this, text);
}

void TfrmVantaro::btnAutoStartClick() {
    SetAutoStart(setup_.AutoStartFolder, setup_.ProgramPath);
}

void TfrmVantaro::btnSaveClick() {
    watch::btnSaveClick(*this, setup_.SettingsFile.string());
    if (!boardSetting_.empty())
        watch::SaveBoardSetting(setup_.SettingsFile.string(), boardSetting_);
}

void TfrmVantaro::lblSEMClick() {
    std::string text = recommendText_.empty() ? watch::Gbk(kBuiltInRecommendation) : recommendText_;
    QGuiApplication::clipboard()->setText(FromGbk(text));
    ShowMessage(watch::Gbk(kRecommendationCopied));
}

void TfrmVantaro::WebBrowser1DocumentComplete(const std::string& pageText) {
    Guarded([&] {
        std::string broadcast = watch::TextBetween("#Braodcast2#", "#Braodcast2End#", pageText);
        std::string message = watch::TextBetween("#Message2#", "#Message2End#", pageText);
        if (!broadcast.empty())
            recommendText_ = broadcast;
        if (!message.empty())
            ShowMessage(message);
    });
}

// The pane asks before every navigation and must have its answer at once; the message box
// and the opening of the address follow from the event loop, in that order.  Only a click of
// the user's opens an address: a page must not launch programs by itself.
void TfrmVantaro::WebBrowser1BeforeNavigate2(const std::string& url, bool byUserClick,
                                             bool& Cancel) {
    std::optional<std::string> message;
    std::optional<std::string> address;
    if (watch::Pos("#m#", url) > 0) {
        Cancel = true;
        message = watch::TextBetween("#mb#", "#me#", url);
    }
    if (watch::Pos("#n#", url) > 0) {
        Cancel = true;
        if (byUserClick)
            address = watch::TextBetween("#nb#", "#ne#", url);
    }
    if (!message && !address)
        return;
    QTimer::singleShot(0, this, [this, message, address] {
        Guarded([&] {
            if (message)
                ShowMessage(*message);
            if (address)
                OpenAnnouncedAddress(*address);
        });
    });
}

void TfrmVantaro::OpenAnnouncedAddress(const std::string& address) {
    OpenInBrowser(FromGbk(address));
}

void TfrmVantaro::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Minimising is hiding to the tray; where there is no tray, that leaves the window
    // minimised as it is.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && isVisible())
        HideToTray();
}

void TfrmVantaro::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    QCoreApplication::quit();
}

bool TfrmVantaro::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblSEM_ && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Guarded([this] { lblSEMClick(); });
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
