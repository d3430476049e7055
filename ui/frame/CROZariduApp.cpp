#include "ui/frame/CROZariduApp.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QScreen>
#include <clocale>
#include <exception>

#include "platform/RegistryFile.h"
#include "platform/errors.h"
#include "res/Format.h"
#include "res/LoadString.h"
#include "ui/frame/CROZariduFrame.h"
#include "core/messages/Messages.h"

namespace {

// Start-up messages.
constexpr unsigned IDS_INIT_INSTANCE_FAILED = 102;
constexpr unsigned IDS_INIT_PARAMETERS_FAILED = 103;
constexpr unsigned IDS_REINSTALL = 106;
constexpr unsigned IDS_SETTINGS_DAMAGED = 33138;

} // namespace

CROZariduApp::CROZariduApp() = default;

CROZariduApp::~CROZariduApp() = default;

void CROZariduApp::loadTranslations() {
    // The program speaks German, so Qt's own dialog texts and key names must too.
    if (qtTexts_.load(QStringLiteral("qtbase_de"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts_);
}

bool CROZariduApp::initParameters() {
    std::string reason;
    try {
        pars_.SetAppInfo(&appInfo_);
        pars_.Load();
        if (pars_.Validate()) return true;
    } catch (const CVNException& e) {
        reason = e.text();
    } catch (const std::exception& e) {
        reason = e.what();
    }
    ShowMessage(LoadString(IDS_INIT_PARAMETERS_FAILED) + LoadString(IDS_REINSTALL), reason,
                MB_OK | MB_ICONERROR);
    return false;
}

bool CROZariduApp::InitInstance(const ViewFactory& makeView, const VersionResource& resource) {
    // Numbers and dates follow the user's locale, in C functions as in Qt.
    std::setlocale(LC_ALL, "");
    loadTranslations();

    if (!InitApplication(resource)) {
        ShowMessageId(IDS_INIT_INSTANCE_FAILED, FormatSystemError(lastError()),
                      MB_OK | MB_ICONERROR);
        return false;
    }
    if (!initParameters()) return false;
    // The defaults stand in for a damaged settings file. The user must hear of it: the lists
    // and patterns they stored are gone from the window until the kept copy is mended.
    if (const std::string hive = UserHivePath(); ReadHive(hive).state == HiveState::Damaged)
        GetMessagePresenter()->show(FormatId(IDS_SETTINGS_DAMAGED, {hive, hive}), MB_OK | MB_ICONWARNING, 0);
    SetHelpTipMode(pars_.GetHelpTipMode() & 7);

    frame_ = std::make_unique<CROZariduFrame>(*this, pars_);
    CVNCommandTarget* target = nullptr;
    QWidget* view = makeView(*frame_, pars_, appInfo_, target);
    if (!view) {
        frame_.reset();
        return false;
    }
    frame_->SetView(view, target);

    // The window first fits the form, which makes the form's own size its smallest; then it
    // opens at a comfortable size, centred, and its size is never stored.
    frame_->adjustSize();
    QSize size = frame_->size();
    if (QScreen* screen = frame_->screen()) {
        const QRect area = screen->availableGeometry();
        size = size.expandedTo(QSize(area.width() * 3 / 5, area.height() * 3 / 4))
                   .boundedTo(area.size());
        frame_->resize(size);
        frame_->move(area.center() - frame_->rect().center());
    }
    frame_->setWindowTitle(QString::fromStdString(LoadString(57344)));
    frame_->show();
    return true;
}

int CROZariduApp::ExitInstance() {
    frame_.reset(); // the form saves its most-recently-used lists as it goes
    return 0;
}
