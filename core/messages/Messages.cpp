#include "core/messages/Messages.h"

#include "res/LoadString.h"

namespace {

// Stands in until the application installs its presenter, so that code running without a
// window (tests, start-up before the frame exists) never blocks on a box nobody sees.
class SilentPresenter final : public MessagePresenter {
public:
    int show(const std::string&, unsigned type, unsigned) override {
        return (type & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;
    }
};

SilentPresenter silentPresenter;
MessagePresenter* currentPresenter = &silentPresenter;

} // namespace

void SetMessagePresenter(MessagePresenter* presenter) {
    currentPresenter = presenter ? presenter : &silentPresenter;
}

MessagePresenter* GetMessagePresenter() {
    return currentPresenter;
}

int ShowMessage(const std::string& format, const std::string& argument, unsigned type,
                unsigned helpId) {
    const std::string text = format.find("%s") != std::string::npos ? Format(format, {argument})
                                                                    : format + ' ' + argument;
    return GetMessagePresenter()->show(text, type, helpId);
}

int ShowMessageId(unsigned stringId, const std::string& argument, unsigned type, unsigned helpId) {
    return ShowMessage(LoadString(stringId), argument, type, helpId);
}

int ShowExceptionMessage(const std::string& format, const CVNException& e, unsigned type,
                         unsigned helpId) {
    char message[1024];
    e.GetErrorMessage(message, sizeof message);
    return ShowMessage(format, message, type, helpId);
}
