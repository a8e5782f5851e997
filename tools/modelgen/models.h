// The five game models, each built from its parts in code.
#pragma once

#include "model_def.h"

ModelDef build_f14tomcat();
ModelDef build_fighter();
ModelDef build_mig25();
ModelDef build_missile();
ModelDef build_bulletfire();
