#include "camera/videodialog.h"

#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QPushButton>

#include "camera/samplegrabbercb.h"
#include "camera/videoids.h"
#include "resources/dialogbuilder.h"

namespace {

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

void StyleVideoArea(QFrame* area) {
  area->setFrameStyle(QFrame::Box | QFrame::Plain);
  QPalette palette = area->palette();
  palette.setColor(QPalette::WindowText, Qt::black);
  area->setPalette(palette);
}

}  // namespace

CVideoDialog::CVideoDialog(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint) {
  resources::DialogBuilder builder(resources::Dialog(camera::IDD_VIDEO));
  builder.Build(this);
  m_cameraList = qobject_cast<QComboBox*>(builder.Item(camera::IDC_CAMERA_LIST));
  m_preview = qobject_cast<QFrame*>(builder.Item(camera::IDC_VIDEO_AREA));
  // The template's height includes the drop-down part; the closed box is as high as its text.
  m_cameraList->resize(m_cameraList->width(), m_cameraList->sizeHint().height());
  StyleVideoArea(m_preview);
  connect(qobject_cast<QPushButton*>(builder.Item(camera::IDC_START_CAMERA)), &QPushButton::clicked,
          this, &CVideoDialog::OnStartCamera);
  connect(qobject_cast<QPushButton*>(builder.Item(camera::IDC_SNAPSHOT)), &QPushButton::clicked,
          this, &CVideoDialog::OnSnapshot);
  connect(qobject_cast<QPushButton*>(builder.Item(IDOK)), &QPushButton::clicked, this,
          &QDialog::accept);
  connect(qobject_cast<QPushButton*>(builder.Item(IDCANCEL)), &QPushButton::clicked, this,
          &QDialog::reject);
  OnInitDialog();
}

void CVideoDialog::OnInitDialog() {
  m_capture.ListCameras(m_cameraList);
  m_cameraList->setCurrentIndex(0);
}

void CVideoDialog::OnStartCamera() { m_capture.StartCapture(m_cameraList->currentIndex(), m_preview); }

void CVideoDialog::OnSnapshot() { s_snapshotRequested.store(true); }

void CVideoDialog::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  OnSize();
}

// The video area follows the window's outer rectangle, taken in client coordinates.
void CVideoDialog::OnSize() {
  const QRect outer = frameGeometry();
  const QPoint client = geometry().topLeft();
  const int left = outer.left() - client.x();
  const int top = outer.top() - client.y();
  const int right = outer.right() + 1 - client.x();
  const int bottom = outer.bottom() + 1 - client.y();
  m_preview->setGeometry(left + 20, top + 75, right - 30, bottom - 60);
  m_capture.FitPreview();
}

// Enter ends the window as its hidden default button would, unless a visible button has the
// focus and takes it.
void CVideoDialog::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && qobject_cast<QPushButton*>(focusWidget()) == nullptr) {
    accept();
    return;
  }
  QDialog::keyPressEvent(event);
}
