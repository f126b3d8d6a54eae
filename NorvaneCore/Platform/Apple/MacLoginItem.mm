#include "Platform/ConfigurationError.h"
#include "Platform/LoginItem.h"

#import <Foundation/Foundation.h>
#import <ServiceManagement/ServiceManagement.h>

namespace norvane {

namespace {

class API_AVAILABLE(macos(13.0)) MainAppLoginItem final : public LoginItem {
public:
    [[nodiscard]] bool isEnabled() const override {
        return SMAppService.mainAppService.status == SMAppServiceStatusEnabled;
    }

    void setEnabled(bool enabled) override {
        NSError *error = nil;
        const BOOL done = enabled ? [SMAppService.mainAppService registerAndReturnError:&error]
                                  : [SMAppService.mainAppService unregisterAndReturnError:&error];
        if (!done)
            throw PlatformError(QString::fromNSString(error.localizedDescription));
    }
};

} // namespace

std::unique_ptr<LoginItem> makeMainAppLoginItem() {
    if (@available(macOS 13.0, *))
        return std::make_unique<MainAppLoginItem>();
    return nullptr;
}

} // namespace norvane
