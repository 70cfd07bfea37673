# The layers of src/: one folder, one library each. A layer includes headers of its own folder and
# of the layers listed after it here, nothing else. The configure step and
# scripts/include-graph.sh both read this table (through IncludeRules.cmake).
set(VARNEL_LAYERS platform p25 site decoder persist link scancontrol session service web ui app)
set(VARNEL_LAYER_DEPS_platform "")
set(VARNEL_LAYER_DEPS_p25 platform)
set(VARNEL_LAYER_DEPS_site platform p25)
set(VARNEL_LAYER_DEPS_decoder platform p25 site)
set(VARNEL_LAYER_DEPS_persist platform p25 site decoder)
set(VARNEL_LAYER_DEPS_link platform p25)
set(VARNEL_LAYER_DEPS_scancontrol platform p25 site persist link)
set(VARNEL_LAYER_DEPS_session platform p25 site decoder persist link scancontrol)
set(VARNEL_LAYER_DEPS_service platform p25 site decoder persist link scancontrol session)
set(VARNEL_LAYER_DEPS_web platform p25 site decoder persist)
set(VARNEL_LAYER_DEPS_ui platform p25 site decoder persist link scancontrol session service web)
set(VARNEL_LAYER_DEPS_app platform p25 site decoder persist link scancontrol session service web ui)
# Layers that build without Qt (the core of a headless run).
set(VARNEL_CORE_LAYERS platform p25 site decoder persist link scancontrol session service)
