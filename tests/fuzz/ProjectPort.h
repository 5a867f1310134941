#pragma once
// The project window's port for save and load without a window: song order
// lists held as rows, messages counted.
#include "store/ProjectFile.h"

namespace fuzz {

class ProjectPort : public ostrak::ProjectWindowPort {
public:
    std::vector<std::string> rows[2];
    std::vector<std::string> messages;
    bool retry = false;

    bool retryMode() const override { return retry; }
    void setLog(const std::string&) override {}
    void appendLog(const std::string&) override {}
    void setBarWidth(int) override {}
    void setBusy(bool) override {}
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void refreshFileList() override {}
    int songOrderRowCount(int channel) override { return static_cast<int>(rows[channel].size()); }
    std::string selectSongOrderRow(int channel, int row) override { return rows[channel].at(static_cast<std::size_t>(row)); }
    void replaceSongOrder(const std::vector<std::string>& ch1, const std::vector<std::string>& ch2) override
    {
        rows[0] = ch1;
        rows[1] = ch2;
    }
};

} // namespace fuzz
