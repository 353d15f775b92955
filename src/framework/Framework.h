// Everything of the application framework, for the windowed program's classes.
#pragma once

#include "framework/App.h"
#include "framework/Controls.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/Dpi.h"
#include "framework/Frame.h"
#include "framework/ImageList.h"
#include "framework/ListCtrl.h"
#include "framework/StatusBar.h"
#include "framework/TreeCtrl.h"
#include "framework/View.h"
#include "framework/Wnd.h"
