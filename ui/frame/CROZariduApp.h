#pragma once

// The application: start-up in its fixed order with a message for each way it can fail, the
// program parameters, the main window around the main form, and the exit step.

#include <QTranslator>
#include <functional>
#include <memory>

#include "core/settings/CVNPars.h"
#include "ui/frame/CVNWinApp.h"

class QWidget;
class CVNCommandTarget;
class CROZariduFrame;

class CROZariduApp : public CVNWinApp {
    Q_OBJECT
public:
    // Makes the main form inside the frame, loads its lists, and gives its command interface.
    // It lives in a layer above this one, so start-up is handed the way to build it.
    using ViewFactory = std::function<QWidget*(CROZariduFrame& frame, CROZariduPars& pars,
                                               CVNAppInfo& app, CVNCommandTarget*& target)>;

    CROZariduApp();
    ~CROZariduApp() override;

    // False when start-up failed; the user has then been told why and the program ends.
    bool InitInstance(const ViewFactory& makeView,
                      const VersionResource& resource = VersionResource::Own());
    // Closes the main window (the form saves its lists) and gives the exit code.
    int ExitInstance();

    CROZariduPars& pars() { return pars_; }
    CROZariduFrame* frame() const { return frame_.get(); }

private:
    void loadTranslations();
    bool initParameters();

    CROZariduPars pars_;
    QTranslator qtTexts_;
    std::unique_ptr<CROZariduFrame> frame_;
};
