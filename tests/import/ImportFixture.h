#pragma once
// The import window's test fixture: a whole ostrak, modules saved in its
// scratch folder and opened as a user would, and what to read back.
#include "support/OstrakFixture.h"
#include "import/FrmImport.h"

#include <regex>
#include <string>

namespace testing_support {

// Every pattern byte of a stored pattern carries all eight bits.
inline bool everyByteWhole(const std::string& pattern)
{
    static const std::regex line("\tbyte (%[01]{8})  ;.*");
    std::size_t at = 0, bytes = 0;
    while ((at = pattern.find("\tbyte", at)) != std::string::npos) {
        const std::string text = pattern.substr(at, pattern.find('\r', at) - at);
        if (!std::regex_match(text, line))
            return false;
        ++bytes;
        ++at;
    }
    return bytes > 0;
}

class ImportTest : public OstrakTest {
protected:
    ostrak::FrmImport& imp() { return app->importer(); }

    std::string save(const std::string& name, const std::string& bytes)
    {
        writeBytes(folder.file(name), bytes);
        return folder.file(name);
    }
    void open(const std::string& path)
    {
        click(w().cmdImport);
        imp().txtModule->setText(QString::fromStdString(path));
        click(imp().cmdOpenModule);
    }
    std::string importLog() const { return app->importer().txtImportLog->toPlainText().toStdString(); }
    void clearSong()
    {
        click(w().cmdClearSong);
        w().listCH1->clear();
        w().listCH2->clear();
        imp().txtImportLog->clear();
        messages.shown.clear();
    }
    std::string typeOf(int row) { return imp().typeBox(row)->currentText().toStdString(); }
    int row(int instrument) // in the instrument map
    {
        for (int r = 0; r < imp().tblInstruments->rowCount(); ++r)
            if (imp().tblInstruments->item(r, 0)->text().toInt() == instrument)
                return r;
        return -1;
    }
};

} // namespace testing_support
