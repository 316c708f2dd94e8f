#include "panes/OperationTable.h"

#include "panes/DBoperations.h"
#include "panes/Help.h"
#include "panes/IntelligentService.h"
#include "panes/Init.h"
#include "panes/RegFiles.h"
#include "panes/Services.h"
#include "panes/SysInfo.h"

namespace {

// Code 0 opens the operation list itself and has no line of its own.
const TOperation kOperations[] = {
    {0, &MakePane<THelp_FRAM>, nullptr, nullptr},
    {1, &MakePane<TServices_FRAM>, L"1 -  راه اندازي سرويس ها ", nullptr},
    {2, &MakePane<TRegFiles_FRAM>, L"2 - ثبت فايل هاي مورد نياز", nullptr},
    {3, &MakePane<TDBoperations_FRAM>, L"3 - عمليات بانک اطلاعاتي",
     L"شامل موارد الحاق، جداسازي، پشتيبان گيري، بازگرداني، اجراي دستور SQL و ساخت بانک اطلاعاتي جديد مي باشد"},
    {4, &MakePane<TSysInfo_FRAM>, L"4 - نمايش اطلاعات سيستم",
     L"اطلاعات سيستم از جمله نام کامپيوتر، آدرسIP و اطلاعاتي در مورد بانک اطلاعاتي را در اختيار شما قرار مي دهد"},
    {6, &MakePane<TInit_FRAM>, L"6 - تنظيمات پيش از اجرا",
     L"در اينجا مي توانيد تنظيمات زبان فارسي و ساخت فايل ini را انجام دهيد"},
    {-1, nullptr, L"8 - بروز رسانی نرم افزار", L"از این گزینه برای دسترسی به سیستم بروزرسانی زلتو استفاده می شود"},
    {9, &MakePane<TIntelligentService_FRAM>, L"9 - سرویس هوشمند", L"مشاهده وضعیت و عملیات مربوط به سرویس هوشمند"},
};

}  // namespace

std::span<const TOperation> Operations() {
    return kOperations;
}

TPaneFactory PaneForCode(int code) {
    if (code < 0) return nullptr;
    for (const TOperation& op : kOperations) {
        if (op.code == code) return op.makePane;
    }
    return nullptr;
}
