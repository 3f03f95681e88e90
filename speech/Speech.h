// Speech: the declarations of the platform's speech interfaces the SAPI 4 back end calls
// (engine enumerator, engine, attributes, audio destinations, notification sinks) and
// their identifiers. They are the platform's own; this module only names them.
#pragma once

#include "platform/api.h"
#include "platform/speech_objects.h"
