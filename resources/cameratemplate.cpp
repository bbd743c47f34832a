#include "camera/videoids.h"
#include "resources/dialogtemplate.h"

namespace resources {

DialogTemplate VideoWindowTemplate() {
  DialogTemplate video;
  video.id = camera::IDD_VIDEO;
  video.caption = QStringLiteral("视频窗口");
  video.width = 282;
  video.height = 225;
  video.fontFace = QStringLiteral("MS Shell Dlg");
  video.items = {
      {camera::IDC_CAMERA_LIST, ItemKind::ComboBox, QString(), 6, 6, 90, 30},
      {camera::IDC_START_CAMERA, ItemKind::PushButton, QStringLiteral("开启摄像头"), 102, 6, 50, 14},
      {camera::IDC_SNAPSHOT, ItemKind::PushButton, QStringLiteral("拍照"), 156, 6, 50, 14},
      {camera::IDC_VIDEO_AREA, ItemKind::BlackFrame, QString(), 6, 24, 270, 192},
      {1, ItemKind::DefaultPushButton, QStringLiteral("确定"), 6, 24, 50, 14, true},
      {2, ItemKind::PushButton, QStringLiteral("取消"), 60, 24, 50, 14, true},
  };
  return video;
}

}  // namespace resources
