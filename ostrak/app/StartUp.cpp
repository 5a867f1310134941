#include "StartUp.h"

#include "FrmMain.h"

namespace ostrak {

void runStartUp(FrmMain& w, const std::vector<std::string>& slotTypes)
{
    w.cmbSplit->addItems8({"0 - 07 (1)", "0 - 15 (2)", "0 - 23 (3)", "0 - 31 (4)", "0 - 47 (6)", "0 - 63 (8)"});
    w.cmbSplit->setText8("LOCKED TO 4 BARS (64 NOTES) at the moment");
    for (int i = 0; i <= 8; ++i)
        for (const char* item : kSoundTypeItems)
            w.WaveMatrix[static_cast<std::size_t>(i)]->addItems8({item});
    for (ComboBox* vol : w.WaveVol)
        vol->addItems8({"0-MAX", "1-90%", "2-84%", "3-75%", "4-66%", "5-55%", "6-47%", "7-40%",
                        "8-33%", "9-24%", "10-16%", "11-8%", "12-0%"});
    const char* volumes[] = {"8", "3", "4", "5", "0", "6", "4", "3"};
    for (std::size_t i = 0; i < 8; ++i)
        w.WaveVol[i]->setText8(volumes[i]);
    w.cmbTempo->addItems8({"1 - Way fast", "2 - About 234", "3 - About 155.5", "4 - About 117",
                           "5 - About 93.5", "6 - Slow"});
    w.txtLog->setText8("Log window waiting...");
    for (std::size_t i = 0; i < 8 && i < slotTypes.size(); ++i)
        w.WaveMatrix[i]->setText8(slotTypes[i]);
    w.WaveMatrix[8]->setText8("8");
}

} // namespace ostrak
