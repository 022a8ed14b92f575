model/tamrix_model_autogen/timestamp: \
  /work/main/model/CMakeLists.txt \
  /work/main/model/TRDateTime.cpp \
  /work/main/model/TRDateTime.h \
  /work/main/model/TRKey.cpp \
  /work/main/model/TRKey.h \
  /work/main/model/TRLimits.h \
  /work/main/model/TRText.cpp \
  /work/main/model/TRText.h \
  /work/main/model/TRValue.cpp \
  /work/main/model/TRValue.h \
  /usr/bin/cmake
