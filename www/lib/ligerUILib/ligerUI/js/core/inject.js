/*
 * Widget registry: injects each widget class into jQuery as a plugin, so a
 * page can write $('#x').kuiGrid({...}) to create a widget on an element and
 * $('#x').kuiGrid() later to get the same instance back.
 *
 * A widget class registered here is constructed as new Ctor($el, options) and
 * must keep its root element in this.$el (see kui.Widget in base.js).
 */
(function (window, $) {
    'use strict';

    var kui = window.kui;
    var registry = {};

    // Registers class Ctor under name (e.g. 'Grid' gives $.fn.kuiGrid).
    kui.inject = function (name, Ctor) {
        registry[name] = Ctor;
        kui[name] = Ctor;
        var plugin = 'kui' + name;
        var dataKey = 'kui-widget-' + name;
        $.fn[plugin] = function (options) {
            var $first = this.first();
            var existing = $first.data(dataKey);
            if (options === undefined && existing) return existing;
            if (existing && existing.destroyContent) existing.destroyContent();
            var widget = new Ctor($first, options || {});
            $first.data(dataKey, widget);
            return widget;
        };
        return Ctor;
    };

    // The registered class of a name, or undefined.
    kui.widgetClass = function (name) { return registry[name]; };
})(window, jQuery);
