// The one factory of a product's plug-in objects, whatever format hosts them.
#pragma once

class IPluginBase;

typedef IPluginBase* (*PluginFactory)();

// Supplied by each product; every format's entry points call it.
IPluginBase* CreatePluginInstance();
