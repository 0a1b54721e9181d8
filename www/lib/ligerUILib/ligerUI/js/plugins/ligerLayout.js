/*
 * Layout: the page frame of the administration UI, a header bar (title on
 * the left, a tool area on the right), the centre that holds the content,
 * and a status bar at the bottom.
 *
 *   var layout = $('#app').kuiLayout({title: 'Switch'});
 *   layout.tools().append(button); layout.center().append(tabs);
 *   layout.status('Server time ...');
 */
(function (window, $) {
    'use strict';

    var kui = window.kui;

    var Layout = kui.extend(kui.Widget, function Layout($el, options) {
        kui.Widget.call(this, $el);
        $el.empty().addClass('kui-layout');
        // Landmarks: the header (with the page's one h1), the main content
        // and the status bar as the footer.
        this.$title = kui.el('h1', { cls: 'kui-layout-title', text: options.title || '' });
        this.$tools = kui.el('div', { cls: 'kui-layout-tools' });
        this.$header = kui.el('header', { cls: 'kui-layout-header' }, [this.$title, this.$tools]);
        this.$center = kui.el('main', { cls: 'kui-layout-center' });
        this.$status = kui.el('footer', { cls: 'kui-layout-status' });
        $el.append(this.$header, this.$center, this.$status);
    }, {
        title: function (text) { this.$title.text(text); },
        tools: function () { return this.$tools; },
        center: function () { return this.$center; },
        status: function (text) {
            if (text === undefined) return this.$status.text();
            this.$status.text(text);
        },
        destroyContent: function () { this.$el.empty().removeClass('kui-layout'); }
    });

    kui.inject('Layout', Layout);
})(window, jQuery);
