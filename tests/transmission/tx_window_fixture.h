#pragma once
// What the transmission window tests share: the working folder of
// tx_init_fixture.h, the message recorder, a link module, the progress
// window and the window under test, made afresh for every test function and
// taken down window first; the demo profiles as the catalogue lists them;
// and the pictures for a person to look at.
#include <memory>
#include <string>
#include <vector>

#include "comm/comm_module.h"
#include "common/save_shot.h"
#include "support/message_recorder.h"
#include "transmission/tx_form.h"
#include "transmission/tx_progress.h"
#include "tx_init_fixture.h"

namespace kiv::test {

inline const std::vector<std::string> kCatalogueNames{"Kivmet KM-100", "Kivmet KM-200"};
inline const std::vector<std::string> kCatalogueFiles{"KM100.FCP", "KM200.FCP"};

// The base of a test class whose init() calls OpenWindows and cleanup() CloseWindows.
template <class Window, class Progress = TFTxProgress>
class TxWindows {
protected:
    void OpenWindows() {
        folder_ = std::make_unique<TxFolder>();
        recorder_ = std::make_unique<MessageRecorder>();
        comm_ = std::make_unique<TFCommModule>();
        progress_ = std::make_unique<Progress>();
        window_ = std::make_unique<Window>(*comm_, *progress_);
    }
    void CloseWindows() {
        window_.reset();
        progress_.reset();
        comm_.reset();
        recorder_.reset();
        folder_.reset();
    }
    // Station 12 of the working folder, its profile looked up in the demo catalogue.
    [[nodiscard]] TTxInitArgs Args() const {
        return {kStation, folder_->KivIni(), kCatalogueNames, kCatalogueFiles, folder_->Data(), folder_->StationFile()};
    }

    std::unique_ptr<TxFolder> folder_;
    std::unique_ptr<MessageRecorder> recorder_;
    std::unique_ptr<TFCommModule> comm_;
    std::unique_ptr<Progress> progress_;
    std::unique_ptr<Window> window_;
};

} // namespace kiv::test
