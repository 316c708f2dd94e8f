#include "ui/FileDialogs.h"

#include "ui/Application.h"
#include "ui/ModalUi.h"

bool TFileDialog::Execute(HWND owner) {
    zz::FileDialogRequest request;
    request.save = save_;
    request.filter = Filter;
    request.filterIndex = FilterIndex;
    request.defaultExt = DefaultExt;
    request.fileName = FileName;
    request.title = Title;
    std::wstring chosen;
    int index = FilterIndex;
    if (!zz::CurrentModalUi().FileDialog(owner ? owner : zz::Application::DialogParent(), request, chosen, index))
        return false;
    FileName = chosen;
    FilterIndex = index;
    return true;
}
