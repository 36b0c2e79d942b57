#pragma once
// Resource ids of the MJPEG codec's configuration dialog.

#define IDD_MJPEG_CONFIG 100
#define IDC_MJPEG_QUALITY 1001
#define IDC_MJPEG_SAMPLING 1002
