#pragma once

// The reservation configuration on its way to the controller: the service writes its working
// record to the local file, sends that to the controller and takes it over.
enum class ConfigSave { Saved, WriteFailed, SendFailed };

// Stops at the first step that fails; only a sent file is taken over.
ConfigSave saveConfigToController();
