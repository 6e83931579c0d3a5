// The advanced options dialog: the loader's fifteen options, read from the
// parameter file in the program folder when it is shown and written back
// whole on OK.
#pragma once

#include "framework/dialog.h"
#include "params/parameter_file.h"

#include <string>

class CAdvancedDialog : public fw::Dialog {
public:
    // The parameter file is the one in `programFolder`.
    CAdvancedDialog(fw::Dialog* parent, std::string programFolder);

    // The options as the controls last gave them, or as shown.
    params::LoaderOptions options;

    // The parameter file of the program in `programFolder`.
    static std::string parameterFilePath(const std::string& programFolder);

protected:
    bool onInitDialog() override;
    void doDataExchange(fw::Exchange& x) override;
    void onOK() override;

private:
    std::string programFolder_;
};
