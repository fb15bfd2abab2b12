# Graphs: the scale rule, the records drawn, the read-outs and the drawing on
# a printing surface (standard library only) and, with the windows, the
# graph window TFGrafika.
add_library(kiv_graph STATIC ${CMAKE_CURRENT_LIST_DIR}/graph.cpp)
target_link_libraries(kiv_graph PUBLIC kiv_reports kiv_period_rules)

if(KIV_BUILD_GUI)
  add_library(kiv_graph_gui STATIC ${CMAKE_CURRENT_LIST_DIR}/grafika.cpp)
  set_target_properties(kiv_graph_gui PROPERTIES AUTOMOC ON)
  target_link_libraries(kiv_graph_gui PUBLIC kiv_graph kiv_support_gui Qt6::Widgets)
endif()
