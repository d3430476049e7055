#include "core/messages/FailureMessages.h"

#include "core/messages/Messages.h"
#include "res/Format.h"

void FailureMessages::show(const std::string& text, unsigned icon) {
    if (left_ <= 0) {
        ++notShown_;
        return;
    }
    --left_;
    GetMessagePresenter()->show(text, MB_OK | icon, 0);
}

void FailureMessages::tellNotShown(unsigned stringId) const {
    if (notShown_ > 0) GetMessagePresenter()->show(FormatId(stringId, {notShown_}), MB_OK | MB_ICONWARNING, 0);
}
