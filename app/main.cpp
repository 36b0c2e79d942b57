#include <windows.h>

#include "app/ConverterApp.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
  ConverterApp app;
  return app.Run(arguments);
}
