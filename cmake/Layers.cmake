# SPDX-License-Identifier: GPL-3.0-or-later
# What each layer of src/ may include, lowest first. Dependencies run one way: a layer
# sees itself and the layers below it, never one above. The build's include roots and the
# LayerOrder check (CheckLayers.cmake) both read this file, so a new folder is named here once.
set(SARVENDO_LAYERS platform resources core line monitor history display components setup app)
set(SARVENDO_LAYER_platform platform)
set(SARVENDO_LAYER_resources resources)
set(SARVENDO_LAYER_core core platform)
set(SARVENDO_LAYER_line line core platform)
set(SARVENDO_LAYER_monitor monitor line core platform)
set(SARVENDO_LAYER_history history core platform)
set(SARVENDO_LAYER_display display components monitor line core platform resources)
set(SARVENDO_LAYER_components components core platform resources)
set(SARVENDO_LAYER_setup setup display components monitor line core platform resources)
set(SARVENDO_LAYER_app app setup display components history monitor line core platform resources)
