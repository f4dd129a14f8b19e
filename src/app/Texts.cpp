#include "app/Texts.h"

namespace texts {

const char kSettingsSection[] = "更新";
const char kAddressKey[] = "地址";
const char kVersionKey[] = "版本号";
const char kManifestPath[] = "最新版本/版本信息";
const char kVersionAttribute[] = "版本号";
const char kDownloadAttribute[] = "下载地址";
const char kNotesAttribute[] = "升级说明";

const char kNotesIntro[] = "发现有新的版本可以更新，本次更新了如下内容：";
const char kNotesTitle[] = "更新信息:";
const char kDeclineText[] = "你已选择不更新将继续使用旧版！";
const char kDeclineTitle[] = "更新提示:";

const char kUpdateWindowCaption[] = "更新";
const char kProgressBarName[] = "进度条1";
const char kSpeedBefore[] = "下载速度：";
const char kSpeedAfter[] = "KB/秒 ";

const char kFatalTitle[] = "错误";
const char kFatalText[] = "内存不足或窗口无法创建，程序将退出。";

}  // namespace texts
