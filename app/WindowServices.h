#pragma once
// The window's services belong to the form's logic, shared by both editions.
#include "form/WindowServices.h"
